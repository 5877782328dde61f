#include "input/assistant_controls.hpp"

#include "base/unicode.hpp"
#include "input/experiment_forms.hpp"
#include "input/request_channel.hpp"
#include "input/scrolling.hpp"
#include "input/text_entry.hpp"
#include "json/json_text.hpp"
#include "model/limits.hpp"
#include "model/mode_keys.hpp"

namespace qm {

namespace {

const Json& assistant_of(const AppState& state) {
  return member(state.document(), "assistant");
}

void compose_key(AppState& state, const tui::KeyEvent& key) {
  AssistantState& assistant = state.assistant;
  const std::optional<EntryCommand> command = command_for(prompt_keys(), key);
  if (!command) {
    return;
  }
  switch (*command) {
    case EntryCommand::type: {
      if (key.modifiers.control) {
        return;
      }
      std::string bytes;
      base::append_utf8(bytes, key.character);
      if (assistant.prompt.size() + bytes.size() <= limits::prompt_bytes) {
        assistant.prompt += bytes;
      }
      return;
    }
    case EntryCommand::erase:
      remove_last_character(assistant.prompt);
      return;
    case EntryCommand::submit:
      if (is_blank(assistant.prompt)) {
        return;
      }
      send_request(state, RequestAction::ai_send,
                   RequestPayload().text("prompt", assistant.prompt));
      assistant.composing = false;
      assistant.scroll = 0;
      return;
    case EntryCommand::cancel:
      assistant.composing = false;
      return;
  }
}

// Approves or denies the pending provider action, once.
void answer_approval(AppState& state, RequestAction action) {
  const auto id = string_of(member_path(assistant_of(state), {"pending_approval", "id"}));
  if (!id) {
    state.status = "No pending approval; no authority granted";
    return;
  }
  send_request(state, action, RequestPayload().text("approval_id", *id));
}

void choose_next_connection(AppState& state) {
  const auto connections = array_of(member(assistant_of(state), "connections"));
  if (!connections || connections->empty()) {
    state.status = "No named connections. Supply a user-private --ai-config file.";
    return;
  }
  const std::optional<std::size_t>& choice = state.assistant.connection_choice;
  const std::size_t next = choice ? (*choice + 1) % connections->size() : 0;
  state.assistant.connection_choice = next;
  send_request(state, RequestAction::ai_connection,
               RequestPayload().value("connection_id", member((*connections)[next], "id")));
}

void attach_selection(AppState& state) {
  RequestPayload payload;
  const std::optional<std::size_t> run =
      state.view == View::results ? result_index_of_selection(state) : std::nullopt;
  if (run) {
    const Json& runs = member(state.document(), "runs");
    payload.value("result_id", member(runs.array()[*run], "retained_id"))
        .number("result_index", std::uint64_t{*run})
        .text("selection_id", state.selected_row()->id);
  } else {
    payload.text("selection_id", state.selected_id);
  }
  send_request(state, RequestAction::ai_context, payload);
}

// Does what a key of the open panel does; false for `C`, which ends the program.
bool panel_command(AppState& state, AssistantCommand command) {
  AssistantState& assistant = state.assistant;
  switch (command) {
    case AssistantCommand::scroll_up:
      scroll_assistant(state, -int{limits::assistant_scroll_step});
      break;
    case AssistantCommand::scroll_down:
      scroll_assistant(state, limits::assistant_scroll_step);
      break;
    case AssistantCommand::scroll_top:
      assistant.scroll = 0;
      break;
    case AssistantCommand::close:
      assistant.open = false;
      break;
    case AssistantCommand::connect:
      state.connect_requested = true;
      return false;
    case AssistantCommand::compose:
      assistant.composing = true;
      assistant.scroll = 0;
      break;
    case AssistantCommand::approve:
      answer_approval(state, RequestAction::ai_approve);
      break;
    case AssistantCommand::deny:
      answer_approval(state, RequestAction::ai_deny);
      break;
    case AssistantCommand::cancel:
      send_request(state, RequestAction::ai_cancel);
      break;
    case AssistantCommand::toggle_enabled:
      send_request(state, is_string_equal(member(state.document(), "product_mode"), "ai-assisted")
                              ? RequestAction::ai_disable
                              : RequestAction::ai_enable);
      break;
    case AssistantCommand::setup_subscription:
      send_request(state, RequestAction::ai_setup_subscription);
      break;
    case AssistantCommand::login:
      send_request(state, RequestAction::ai_login);
      break;
    case AssistantCommand::account:
      send_request(state, RequestAction::ai_account);
      break;
    case AssistantCommand::models:
      send_request(state, RequestAction::ai_models);
      break;
    case AssistantCommand::probe:
      send_request(state, RequestAction::ai_probe);
      break;
    case AssistantCommand::acquire_worker:
      send_request(state, RequestAction::ai_worker_acquire);
      break;
    case AssistantCommand::checkpoint:
      send_request(state, RequestAction::ai_checkpoint);
      break;
    case AssistantCommand::resume:
      send_request(state, RequestAction::ai_resume);
      break;
    case AssistantCommand::next_connection:
      choose_next_connection(state);
      break;
    case AssistantCommand::attach_selection:
      attach_selection(state);
      break;
    case AssistantCommand::raw_evidence:
      assistant.open = false;
      state.raw_view = true;
      state.status = "Selected canonical evidence · v returns to readable detail";
      break;
    case AssistantCommand::raw_state:
      assistant.raw = !assistant.raw;
      break;
  }
  return true;
}

}  // namespace

void open_assistant_panel(AppState& state) {
  AssistantState& assistant = state.assistant;
  assistant.open = true;
  assistant.scroll = 0;
  assistant.connection_choice.reset();
  const Json& assistant_document = assistant_of(state);
  const Json& in_use = member_path(assistant_document, {"connection", "id"});
  if (const auto connections = array_of(member(assistant_document, "connections"))) {
    for (std::size_t i = 0; i < connections->size(); ++i) {
      if (member((*connections)[i], "id") == in_use) {
        assistant.connection_choice = i;
        break;
      }
    }
  }
}

bool assistant_key(AppState& state, const tui::KeyEvent& key) {
  if (state.assistant.composing) {
    compose_key(state, key);
    return true;
  }
  const std::optional<AssistantCommand> command = command_for(assistant_keys(), key);
  return !command || panel_command(state, *command);
}

}  // namespace qm
