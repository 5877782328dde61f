#include "request.hpp"

namespace qm::demo {

std::string cut_utf8(std::string_view text, std::size_t max_bytes) {
  if (text.size() <= max_bytes) {
    return std::string(text);
  }
  std::size_t end = max_bytes;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0U) == 0x80U) {
    --end;
  }
  return std::string(text.substr(0, end));
}

std::optional<std::string> text_member(const nlohmann::json& body, std::string_view key,
                                       std::size_t max_bytes) {
  const auto found = body.find(key);
  if (found == body.end() || !found->is_string()) {
    return std::nullopt;
  }
  return cut_utf8(found->get_ref<const std::string&>(), max_bytes);
}

std::optional<std::uint64_t> unsigned_member(const nlohmann::json& body, std::string_view key) {
  const auto found = body.find(key);
  if (found == body.end() || !found->is_number_integer() || found->get<std::int64_t>() < 0) {
    return std::nullopt;
  }
  return found->get<std::uint64_t>();
}

void report(DemoState& state, std::string_view status, std::string_view notice) {
  state.document["runtime"]["status"] = status;
  state.document["notice"] = notice;
}

}  // namespace qm::demo
