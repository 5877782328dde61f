#include "model/capture_node.hpp"

#include <algorithm>
#include <string_view>

#include "text/value_text.hpp"

namespace qm {

namespace {

constexpr std::string_view capture_node_prefix = "/vistrel_";

bool is_capture_node_form(std::string_view name) {
  if (!name.starts_with(capture_node_prefix) || name.size() == capture_node_prefix.size()) {
    return false;
  }
  name.remove_prefix(capture_node_prefix.size());
  return std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::optional<std::string> capture_node_name(const SessionModel& model) {
  const Json& observer = member_path(model.root(), {"problems", "observer", "node"});
  if (!model.baseline_shown() && observer.is_string()) {
    return value_display_text(observer);
  }
  const auto nodes = array_of(member_path(model.shown_capture(), {"graph", "nodes"}));
  if (!nodes.has_value()) {
    return std::nullopt;
  }
  std::optional<std::string> found;
  for (const Json& node : *nodes) {
    const auto name = string_of(node);
    if (!name.has_value() || !is_capture_node_form(*name)) {
      continue;
    }
    if (found) {
      return std::nullopt;
    }
    found = value_display_text(node);
  }
  return found;
}

}  // namespace qm
