#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

#include "demo_state.hpp"
#include "instant.hpp"

namespace qm::demo {

// One request line, read.
struct Request {
  const nlohmann::json& body;  // the whole object, for the payload members
  std::string action;
  std::string entity_id;  // empty when absent or not a text
  bool baseline = false;  // side "baseline"; anything else means the current capture
};

// Answers one request by changing the document.
using RequestHandler = void (*)(DemoState&, const Request&, const Instant&);

// A text member of the payload, cut to at most `max_bytes` on a character boundary.
std::optional<std::string> text_member(const nlohmann::json& body, std::string_view key,
                                       std::size_t max_bytes = 4096);
std::optional<std::uint64_t> unsigned_member(const nlohmann::json& body, std::string_view key);

// The answer the viewer shows in its status row and the Health banner.
void report(DemoState& state, std::string_view status, std::string_view notice);

// The text cut to at most `max_bytes`, never inside a UTF-8 sequence.
std::string cut_utf8(std::string_view text, std::size_t max_bytes);

}  // namespace qm::demo
