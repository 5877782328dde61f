#include "model/outbox.hpp"

#include <fmt/format.h>

#include <array>

#include "json/json_text.hpp"
#include "model/app_state.hpp"

namespace qm {

namespace {

struct ActionEntry {
  RequestAction action;
  std::string_view name;
  std::string_view category;
};

using A = RequestAction;

constexpr std::array actions = {
    ActionEntry{A::refresh, "refresh", "refresh"},
    ActionEntry{A::refresh_project, "refresh_project", "project"},
    ActionEntry{A::export_entity, "export", "export"},
    ActionEntry{A::inspect, "inspect", "inspect"},
    ActionEntry{A::message_tf, "message_tf", "inspect"},
    ActionEntry{A::config_diff, "config_diff", "inspect"},
    ActionEntry{A::run_check, "run_check", "checks"},
    ActionEntry{A::cancel_check, "cancel_check", "checks"},
    ActionEntry{A::play, "play", "playback"},
    ActionEntry{A::pause, "pause", "playback"},
    ActionEntry{A::resume, "resume", "playback"},
    ActionEntry{A::stop, "stop", "playback"},
    ActionEntry{A::seek, "seek", "playback"},
    ActionEntry{A::refresh_task, "refresh_task", "task"},
    ActionEntry{A::plan_experiment, "plan_experiment", "task"},
    ActionEntry{A::finish_experiment, "finish_experiment", "task"},
    ActionEntry{A::select_experiment, "select_experiment", "task"},
    ActionEntry{A::attach_experiment, "attach_experiment", "task"},
    ActionEntry{A::experiment_results, "experiment_results", "task"},
    ActionEntry{A::recover_experiments, "recover_experiments", "task"},
    ActionEntry{A::ai_send, "ai_send", "assistant"},
    ActionEntry{A::ai_approve, "ai_approve", "assistant"},
    ActionEntry{A::ai_deny, "ai_deny", "assistant"},
    ActionEntry{A::ai_cancel, "ai_cancel", "assistant"},
    ActionEntry{A::ai_enable, "ai_enable", "assistant"},
    ActionEntry{A::ai_disable, "ai_disable", "assistant"},
    ActionEntry{A::ai_setup_subscription, "ai_setup_subscription", "assistant"},
    ActionEntry{A::ai_login, "ai_login", "assistant"},
    ActionEntry{A::ai_account, "ai_account", "assistant"},
    ActionEntry{A::ai_models, "ai_models", "assistant"},
    ActionEntry{A::ai_checkpoint, "ai_checkpoint", "assistant"},
    ActionEntry{A::ai_resume, "ai_resume", "assistant"},
    ActionEntry{A::ai_worker_acquire, "ai_worker_acquire", "assistant"},
    ActionEntry{A::ai_probe, "ai_probe", "assistant"},
    ActionEntry{A::ai_connection, "ai_connection", "assistant"},
    ActionEntry{A::ai_context, "ai_context", "assistant"},
    ActionEntry{A::save_view, "save_view", ""},
    ActionEntry{A::select_result, "select_result", ""},
    ActionEntry{A::launch_log, "launch_log", ""},
};

// The table lists the actions in their enumeration order.
constexpr bool table_in_order() {
  for (std::size_t i = 0; i < actions.size(); ++i) {
    if (static_cast<std::size_t>(actions[i].action) != i) {
      return false;
    }
  }
  return true;
}
static_assert(table_in_order());

const ActionEntry& entry_of(RequestAction action) {
  return actions[static_cast<std::size_t>(action)];
}

}  // namespace

std::string_view action_name(RequestAction action) {
  return entry_of(action).name;
}

std::optional<RequestAction> action_named(std::string_view name) {
  for (const ActionEntry& entry : actions) {
    if (entry.name == name) {
      return entry.action;
    }
  }
  return std::nullopt;
}

std::string_view action_category(RequestAction action) {
  return entry_of(action).category;
}

RequestPayload::RequestPayload() : storage_(std::make_shared<Document>()) {}

RequestPayload& RequestPayload::text(std::string_view key, std::string_view value) {
  members_.push_back(JsonMember{storage_->arena.copy_text(key), storage_->arena.string(value)});
  return *this;
}

RequestPayload& RequestPayload::number(std::string_view key, std::uint64_t value) {
  members_.push_back(JsonMember{storage_->arena.copy_text(key), Json::from_unsigned(value)});
  return *this;
}

RequestPayload& RequestPayload::number(std::string_view key, double value) {
  members_.push_back(JsonMember{storage_->arena.copy_text(key), Json::from_double(value)});
  return *this;
}

RequestPayload& RequestPayload::value(std::string_view key, const Json& value) {
  members_.push_back(JsonMember{storage_->arena.copy_text(key), copy_json(value, storage_->arena)});
  return *this;
}

Request Request::make(RequestAction action, const std::vector<JsonMember>& automatic,
                      const RequestPayload& payload) {
  auto body = std::make_shared<Document>();
  JsonBuilder builder(body->arena);
  builder.add("action", action_name(action));
  for (const JsonMember& member : automatic) {
    builder.add(member.key, copy_json(member.value, body->arena));
  }
  for (const JsonMember& member : payload.members_) {
    builder.add(member.key, copy_json(member.value, body->arena));
  }
  body->root = builder.object();
  return Request{action, std::move(body), std::nullopt};
}

std::string request_line(const Request& request) {
  std::string line = compact_json(request.body->root);
  line += '\n';
  return line;
}

void note_request_outcome(AppState& state, const Request& request,
                          const std::expected<void, std::string>& written) {
  if (!written) {
    state.status = "Request failed: " + written.error();
    return;
  }
  if (request.saved_view) {
    state.last_saved_view_state = request.saved_view;
  }
  if (!action_category(request.action).empty()) {
    state.status =
        fmt::format("Requested {}; awaiting backend status", action_name(request.action));
  }
}

}  // namespace qm
