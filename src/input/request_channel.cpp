#include "input/request_channel.hpp"

#include <fmt/format.h>

#include <optional>
#include <vector>

#include "model/row_id.hpp"

namespace qm {

namespace {

// The refusal of a precondition, or none when the request may go.
std::optional<std::string_view> precondition_refusal(const AppState& state, RequestAction action) {
  if (action == RequestAction::export_entity && state.selected_id.find(':') == std::string::npos) {
    return "Select an entity before exporting";
  }
  if (action == RequestAction::inspect &&
      (state.view != View::topics || kind_of(state.selected_id) != RowKind::topic)) {
    return "Select a topic before inspecting";
  }
  if (action == RequestAction::inspect || action == RequestAction::message_tf ||
      action == RequestAction::config_diff) {
    const Row* row = state.selected_row();
    if (row != nullptr && row->id == state.selected_id &&
        is_true(member(*row->value, "observation_unavailable"))) {
      return "Selection is absent from latest graph; refresh before requesting a live observation";
    }
  }
  return std::nullopt;
}

std::string_view request_side(const AppState& state) {
  if (state.view == View::changes) {
    const Row* row = state.selected_row();
    return row != nullptr && is_string_equal(member(*row->value, "status"), "removed") ? "baseline"
                                                                                       : "current";
  }
  return state.baseline_shown() ? "baseline" : "current";
}

}  // namespace

bool send_request(AppState& state, RequestAction action, const RequestPayload& payload) {
  // 1. Capability.
  const std::string_view category = action_category(action);
  if (!category.empty() && !is_true(member(member(state.document(), "capabilities"), category))) {
    state.status = fmt::format("{} unavailable for this session", action_name(action));
    return false;
  }
  // 2. Preconditions.
  if (const auto refusal = precondition_refusal(state, action)) {
    state.status = std::string(*refusal);
    return false;
  }
  // 3. The request object, queued for the run loop to write.
  RequestPayload automatic;
  if (!category.empty()) {
    automatic.text("entity_id", state.selected_id).text("side", request_side(state));
  }
  state.outbox.requests.push_back(Request::make(action, automatic, payload));
  return true;
}

}  // namespace qm
