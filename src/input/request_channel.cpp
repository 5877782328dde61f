#include "input/request_channel.hpp"

#include <fmt/format.h>

#include <array>
#include <expected>
#include <optional>

namespace qm {

namespace {

struct ActionEntry {
  std::string_view action;
  // The key looked up under `capabilities`; empty for the actions sent without a check.
  std::string_view category;
};

constexpr std::array<ActionEntry, 39> action_table = {{
    {"refresh", "refresh"},
    {"refresh_project", "project"},
    {"export", "export"},
    {"inspect", "inspect"},
    {"message_tf", "inspect"},
    {"config_diff", "inspect"},
    {"run_check", "checks"},
    {"cancel_check", "checks"},
    {"play", "playback"},
    {"pause", "playback"},
    {"resume", "playback"},
    {"stop", "playback"},
    {"seek", "playback"},
    {"refresh_task", "task"},
    {"plan_experiment", "task"},
    {"finish_experiment", "task"},
    {"select_experiment", "task"},
    {"attach_experiment", "task"},
    {"experiment_results", "task"},
    {"recover_experiments", "task"},
    {"ai_send", "assistant"},
    {"ai_approve", "assistant"},
    {"ai_deny", "assistant"},
    {"ai_cancel", "assistant"},
    {"ai_enable", "assistant"},
    {"ai_disable", "assistant"},
    {"ai_setup_subscription", "assistant"},
    {"ai_login", "assistant"},
    {"ai_account", "assistant"},
    {"ai_models", "assistant"},
    {"ai_checkpoint", "assistant"},
    {"ai_resume", "assistant"},
    {"ai_worker_acquire", "assistant"},
    {"ai_probe", "assistant"},
    {"ai_connection", "assistant"},
    {"ai_context", "assistant"},
    {"save_view", ""},
    {"select_result", ""},
    {"launch_log", ""},
}};

std::optional<ActionEntry> find_action(std::string_view action) {
  for (const ActionEntry& entry : action_table) {
    if (entry.action == action) {
      return entry;
    }
  }
  return std::nullopt;
}

// The refusal of a precondition, or none when the request may go.
std::optional<std::string_view> precondition_refusal(const AppState& state,
                                                     std::string_view action) {
  if (action == "export" && state.selected_id.find(':') == std::string::npos) {
    return "Select an entity before exporting";
  }
  if (action == "inspect" &&
      (state.view != View::topics || !state.selected_id.starts_with("topic:"))) {
    return "Select a topic before inspecting";
  }
  if (action == "inspect" || action == "message_tf" || action == "config_diff") {
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

bool send_request(AppState& state, std::string_view action, const nlohmann::json& payload) {
  // 1. Category.
  const std::optional<ActionEntry> entry = find_action(action);
  if (!entry) {
    state.status = "Unknown request action";
    return false;
  }
  // 2. Capability.
  if (!entry->category.empty() &&
      !is_true(member(member(state.document(), "capabilities"), entry->category))) {
    state.status = fmt::format("{} unavailable for this session", action);
    return false;
  }
  // 3. Preconditions.
  if (const auto refusal = precondition_refusal(state, action)) {
    state.status = std::string(*refusal);
    return false;
  }
  // 4. The request object; its keys serialise in ascending order.
  nlohmann::json request = nlohmann::json::object();
  request["action"] = action;
  if (!entry->category.empty()) {
    request["entity_id"] = state.selected_id;
    request["side"] = request_side(state);
  }
  if (payload.is_object()) {
    for (const auto& [key, value] : payload.items()) {
      request[key] = value;
    }
  }
  // 5-6. Channel and write.
  std::expected<void, std::string> outcome;
  if (!state.requests) {
    outcome = std::unexpected("No request channel configured");
  } else {
    std::string line = request.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    line += '\n';
    outcome = state.requests->append(line);
  }
  // 7. Status.
  if (!outcome) {
    state.status = "Request failed: " + outcome.error();
    return false;
  }
  if (!entry->category.empty()) {
    state.status = fmt::format("Requested {}; awaiting backend status", action);
  }
  return true;
}

}  // namespace qm
