#pragma once

#include <nlohmann/json.hpp>
#include <stdexcept>
#include <utility>

#include "base/error.hpp"
#include "json/document_parser.hpp"
#include "json/json.hpp"
#include "json/json_text.hpp"

namespace qm::testing {

// The document the program reads from the JSON text of `value`, so that tests can write their
// documents as nlohmann literals. A value the parser refuses fails the test that made it.
inline DocumentPtr document_of(const nlohmann::json& value) {
  auto parsed = parse_document(value.dump());
  if (!parsed) {
    throw std::invalid_argument("test document does not parse: " + error_report(parsed.error()));
  }
  return std::move(*parsed);
}

// A value of the program read back as an nlohmann value, for checks that look inside it.
inline nlohmann::json nlohmann_of(const Json& value) {
  return nlohmann::json::parse(compact_json(value));
}

}  // namespace qm::testing
