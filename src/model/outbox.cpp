#include "model/outbox.hpp"

#include <fmt/format.h>

#include <array>

#include "json/json_text.hpp"
#include "model/app_state.hpp"
#include "model/pending_seek.hpp"

namespace qm {

namespace {

constexpr std::string_view awaiting_suffix = "; awaiting backend status";

struct ActionEntry {
  RequestAction action;
  std::string_view name;
  std::string_view category;
};

using RA = RequestAction;

constexpr std::array action_table = {
    ActionEntry{RA::refresh, "refresh", "refresh"},
    ActionEntry{RA::refresh_project, "refresh_project", "project"},
    ActionEntry{RA::export_entity, "export", "export"},
    ActionEntry{RA::inspect, "inspect", "inspect"},
    ActionEntry{RA::message_tf, "message_tf", "inspect"},
    ActionEntry{RA::config_diff, "config_diff", "inspect"},
    ActionEntry{RA::run_check, "run_check", "checks"},
    ActionEntry{RA::cancel_check, "cancel_check", "checks"},
    ActionEntry{RA::play, "play", "playback"},
    ActionEntry{RA::pause, "pause", "playback"},
    ActionEntry{RA::resume, "resume", "playback"},
    ActionEntry{RA::stop, "stop", "playback"},
    ActionEntry{RA::seek, "seek", "playback"},
    ActionEntry{RA::refresh_task, "refresh_task", "task"},
    ActionEntry{RA::plan_experiment, "plan_experiment", "task"},
    ActionEntry{RA::finish_experiment, "finish_experiment", "task"},
    ActionEntry{RA::select_experiment, "select_experiment", "task"},
    ActionEntry{RA::attach_experiment, "attach_experiment", "task"},
    ActionEntry{RA::experiment_results, "experiment_results", "task"},
    ActionEntry{RA::recover_experiments, "recover_experiments", "task"},
    ActionEntry{RA::ai_send, "ai_send", "assistant"},
    ActionEntry{RA::ai_approve, "ai_approve", "assistant"},
    ActionEntry{RA::ai_deny, "ai_deny", "assistant"},
    ActionEntry{RA::ai_cancel, "ai_cancel", "assistant"},
    ActionEntry{RA::ai_enable, "ai_enable", "assistant"},
    ActionEntry{RA::ai_disable, "ai_disable", "assistant"},
    ActionEntry{RA::ai_setup_subscription, "ai_setup_subscription", "assistant"},
    ActionEntry{RA::ai_login, "ai_login", "assistant"},
    ActionEntry{RA::ai_account, "ai_account", "assistant"},
    ActionEntry{RA::ai_models, "ai_models", "assistant"},
    ActionEntry{RA::ai_checkpoint, "ai_checkpoint", "assistant"},
    ActionEntry{RA::ai_resume, "ai_resume", "assistant"},
    ActionEntry{RA::ai_worker_acquire, "ai_worker_acquire", "assistant"},
    ActionEntry{RA::ai_probe, "ai_probe", "assistant"},
    ActionEntry{RA::ai_connection, "ai_connection", "assistant"},
    ActionEntry{RA::ai_context, "ai_context", "assistant"},
    ActionEntry{RA::save_view, "save_view", ""},
    ActionEntry{RA::select_result, "select_result", ""},
    ActionEntry{RA::launch_log, "launch_log", ""},
};

// The table lists the actions in their enumeration order.
constexpr bool table_in_order() {
  for (std::size_t i = 0; i < action_table.size(); ++i) {
    if (static_cast<std::size_t>(action_table[i].action) != i) {
      return false;
    }
  }
  return true;
}
static_assert(table_in_order());

const ActionEntry& action_entry(RequestAction action) {
  return action_table[static_cast<std::size_t>(action)];
}

}  // namespace

std::string_view action_name(RequestAction action) {
  return action_entry(action).name;
}

std::optional<RequestAction> action_named(std::string_view name) {
  for (const ActionEntry& entry : action_table) {
    if (entry.name == name) {
      return entry.action;
    }
  }
  return std::nullopt;
}

std::string_view action_category(RequestAction action) {
  return action_entry(action).category;
}

RequestPayload::RequestPayload() : storage_(std::make_shared<Document>()) {}

RequestPayload& RequestPayload::text(std::string_view key, std::string_view value) {
  members_.push_back(JsonMember{storage_->arena.key(key), storage_->arena.string(value)});
  return *this;
}

RequestPayload& RequestPayload::number(std::string_view key, std::uint64_t value) {
  members_.push_back(JsonMember{storage_->arena.key(key), Json::from_unsigned(value)});
  return *this;
}

RequestPayload& RequestPayload::number(std::string_view key, double value) {
  members_.push_back(JsonMember{storage_->arena.key(key), Json::from_double(value)});
  return *this;
}

RequestPayload& RequestPayload::value(std::string_view key, const Json& value) {
  members_.push_back(JsonMember{storage_->arena.key(key), copy_json(value, storage_->arena)});
  return *this;
}

Request Request::make(RequestAction action, const RequestPayload& automatic,
                      const RequestPayload& payload) {
  auto body = std::make_shared<Document>();
  JsonBuilder builder(body->arena);
  builder.add("action", action_name(action));
  for (const RequestPayload* part : {&automatic, &payload}) {
    for (const JsonMember& member : part->members_) {
      builder.add(member.key(), copy_json(member.value, body->arena));
    }
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
    if (request.action == RequestAction::launch_log) {
      // The page End waits for will not come.
      state.log.end_follow.reset();
    }
    return;
  }
  if (request.action == RequestAction::seek) {
    if (const auto offset = number_of(member(request.body->root, "offset_s"))) {
      note_seek_written(state, *offset);
    }
  }
  if (request.saved_view) {
    state.last_saved_view_state = request.saved_view;
  }
  if (answered_in_detail(request.action)) {
    const auto entity = string_of(member(request.body->root, "entity_id"));
    state.awaited_answer = AwaitedAnswer{request.action, std::string(entity.value_or(""))};
  }
  if (!action_category(request.action).empty()) {
    state.status = fmt::format("Requested {}{}", action_name(request.action), awaiting_suffix);
  }
}

bool awaits_backend(std::string_view status) {
  return status.starts_with("Requested ") && status.ends_with(awaiting_suffix);
}

}  // namespace qm
