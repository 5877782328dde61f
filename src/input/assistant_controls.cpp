#include "input/assistant_controls.hpp"

#include "base/saturating.hpp"
#include "base/unicode.hpp"
#include "input/experiment_forms.hpp"
#include "input/request_channel.hpp"
#include "input/text_entry.hpp"
#include "json/json_text.hpp"
#include "model/limits.hpp"

namespace qm {

namespace {

const Json& assistant_of(const AppState& state) {
  return member(state.document(), "assistant");
}

void compose_key(AppState& state, const tui::KeyEvent& key) {
  AssistantState& assistant = state.assistant;
  switch (key.code) {
    case tui::KeyCode::character: {
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
    case tui::KeyCode::backspace:
      remove_last_character(assistant.prompt);
      return;
    case tui::KeyCode::enter:
      if (is_blank(assistant.prompt)) {
        return;
      }
      send_request(state, RequestAction::ai_send,
                   RequestPayload().text("prompt", assistant.prompt));
      assistant.composing = false;
      assistant.scroll = 0;
      return;
    case tui::KeyCode::escape:
      assistant.composing = false;
      return;
    default:
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

// The keys that only ask the backend for something.
std::optional<RequestAction> plain_request(char32_t c) {
  switch (c) {
    case U'c':
      return RequestAction::ai_cancel;
    case U'S':
      return RequestAction::ai_setup_subscription;
    case U'l':
      return RequestAction::ai_login;
    case U'u':
      return RequestAction::ai_account;
    case U'd':
      return RequestAction::ai_models;
    case U't':
      return RequestAction::ai_probe;
    case U'w':
      return RequestAction::ai_worker_acquire;
    case U'K':
      return RequestAction::ai_checkpoint;
    case U'r':
      return RequestAction::ai_resume;
    default:
      return std::nullopt;
  }
}

bool panel_character(AppState& state, char32_t c) {
  AssistantState& assistant = state.assistant;
  if (const auto action = plain_request(c)) {
    send_request(state, *action);
    return true;
  }
  switch (c) {
    case U'k':
      assistant.scroll = base::saturating_sub(assistant.scroll, limits::assistant_scroll_step);
      break;
    case U'j':
      assistant.scroll = base::saturating_add(assistant.scroll, limits::assistant_scroll_step);
      break;
    case U'A':
    case U'q':
      assistant.open = false;
      break;
    case U'C':
      state.connect_requested = true;
      return false;
    case U'i':
      assistant.composing = true;
      assistant.scroll = 0;
      break;
    case U'y':
      answer_approval(state, RequestAction::ai_approve);
      break;
    case U'n':
      answer_approval(state, RequestAction::ai_deny);
      break;
    case U'm':
      send_request(state, is_string_equal(member(state.document(), "product_mode"), "ai-assisted")
                              ? RequestAction::ai_disable
                              : RequestAction::ai_enable);
      break;
    case U'p':
      choose_next_connection(state);
      break;
    case U's':
      attach_selection(state);
      break;
    case U'e':
      assistant.open = false;
      state.raw_view = true;
      state.status = "Selected canonical evidence · v returns to readable detail";
      break;
    case U'v':
      assistant.raw = !assistant.raw;
      break;
    default:
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
  AssistantState& assistant = state.assistant;
  if (assistant.composing) {
    compose_key(state, key);
    return true;
  }
  switch (key.code) {
    case tui::KeyCode::up:
    case tui::KeyCode::page_up:
      return panel_character(state, U'k');
    case tui::KeyCode::down:
    case tui::KeyCode::page_down:
      return panel_character(state, U'j');
    case tui::KeyCode::home:
      assistant.scroll = 0;
      return true;
    case tui::KeyCode::escape:
      assistant.open = false;
      return true;
    case tui::KeyCode::character:
      return panel_character(state, key.character);
    default:
      return true;
  }
}

}  // namespace qm
