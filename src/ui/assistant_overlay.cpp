#include "ui/assistant_overlay.hpp"

#include <fmt/format.h>

#include <string_view>

#include "model/mode_keys.hpp"
#include "text/text.hpp"
#include "text/value_text.hpp"
#include "tui/layout.hpp"
#include "ui/detail_lines.hpp"
#include "ui/header.hpp"
#include "ui/overlay_box.hpp"
#include "ui/palette.hpp"
#include "ui/pane_block.hpp"
#include "ui/typing_cursor.hpp"

namespace qm {

namespace {

constexpr uint16_t body_min_rows = 3;
constexpr uint16_t prompt_rows = 4;
constexpr uint16_t controls_rows = 8;

constexpr std::string_view controls_notice =
    "ChatGPT explains reviewed text; native tools are disabled. No automatic sign-in, paid "
    "fallback or hardware access.";

// The id of the evidence a prompt would attach: the selected row in Results, else the selected
// entity.
std::string selected_evidence(const AppState& state) {
  if (state.view == View::results) {
    const Row* row = state.selected_row();
    return row != nullptr ? display_safe(row->id) : std::string("none");
  }
  return display_safe(state.selected_id);
}

// "\n{title}\n" and the outline of `value`, for the optional sections.
void append_section(std::string& text, std::string_view title, const Json& value) {
  text += '\n';
  text += title;
  text += '\n';
  text += outline_text(value);
}

void append_messages(std::string& text, const Json& messages) {
  const auto list = array_of(messages);
  if (!list) {
    return;
  }
  for (const Json& message : *list) {
    const auto said = string_of(member(message, "text"));
    text += fmt::format("\n{}: {}\n", value_display_text(member(message, "role")),
                        said ? display_safe(*said) : std::string());
  }
}

// The body, the prompt and the controls, top to bottom.
std::vector<tui::Rect> panel_parts(tui::Rect box) {
  return tui::split(box, tui::Direction::vertical,
                    {tui::Constraint::min(body_min_rows), tui::Constraint::length(prompt_rows),
                     tui::Constraint::length(controls_rows)});
}

TypedText prompt_text(const AssistantState& assistant) {
  TypedText typed{display_safe(assistant.prompt), std::nullopt};
  if (assistant.composing) {
    typed.cursor = typed.text.size();
    typed.text += typing_cursor;
    typed.text += "\n" + prompt_legend();
  } else {
    typed.text += "\nPress i to edit. Attach selected evidence with s before preparing disclosure.";
  }
  return typed;
}

}  // namespace

std::string assistant_text(const AppState& state) {
  const Json& root = state.document();
  const Json& a = member(root, "assistant");
  std::string text = fmt::format(
      "Project: {}\nTask: {}\nProduct mode: {} · State: {}\nPermissions: {} · Hardware: blocked\n"
      "Set up ChatGPT subscription: S creates a private local connection; m enables AI; l "
      "requests login separately.\nChatGPT explains reviewed text; native tools are disabled.\n\n"
      "Connection / authentication / model\n{}\nUsage (unknown is not zero)\n{}\n"
      "Selected evidence: {} [{}]\n",
      value_display_text(member_path(root, {"project", "root"})),
      value_display_text(member(root, "task_path")), product_mode_text(root),
      value_display_text(member(a, "state")), value_display_text(member(a, "permissions")),
      outline_text(member(a, "connection")), outline_text(member(a, "usage")),
      selected_evidence(state), side_name(state.model.side));

  if (member(a, "subscription_setup").is_object()) {
    append_section(text,
                   "ChatGPT subscription setup · local connection, authentication not checked",
                   member(a, "subscription_setup"));
  }
  if (!member(a, "account").is_null()) {
    append_section(text, "Managed account status · result of explicit account request",
                   member(a, "account"));
  }
  if (member(a, "pending_approval").is_object()) {
    append_section(text,
                   "PENDING APPROVAL · y approve once · n deny · c cancel\n"
                   "Review the exact destination, data and action below before approving.",
                   member(a, "pending_approval"));
  }
  if (const Json& error = member(a, "error"); !error.is_null()) {
    text += fmt::format("\nAssistant error: {}\n", value_display_text(error));
  }
  append_section(text, "Approved / prepared context and evidence references", member(a, "context"));
  if (!member(a, "worker").is_null()) {
    append_section(text, "Isolated worker · focused checks do not replace the canonical gate",
                   member(a, "worker"));
  }
  if (const auto connections = array_of(member(a, "connections"));
      connections && !connections->empty()) {
    append_section(text,
                   "Named connections · p chooses next for review; d requests model discovery "
                   "approval",
                   member(a, "connections"));
  }
  if (!member(a, "models").is_null()) {
    append_section(text, "User-requested model discovery", member(a, "models"));
  }
  text += "\nAssistant claims · never an authoritative verdict\n";
  append_messages(text, member(a, "messages"));
  text +=
      fmt::format("\n{}\n{}", value_display_text(member(a, "notice")), display_safe(state.status));
  if (const Json& error = member_path(root, {"runtime", "error"}); error.is_string()) {
    text += "\nRequest error: " + value_display_text(error);
  }
  return text;
}

std::string assistant_body_text(const AppState& state) {
  if (state.assistant.raw) {
    return indented_json_text(member(state.document(), "assistant"));
  }
  return assistant_text(state);
}

ScrollExtent assistant_extent(tui::Rect area, const AppState& state) {
  const tui::Rect box = assistant_box(area);
  if (box.empty()) {
    return {};
  }
  return text_extent(assistant_body_text(state), panel_parts(box)[0].inner(1), Wrapping::words);
}

void draw_assistant(tui::Buffer& buffer, tui::Rect box, const AppState& state) {
  if (box.empty()) {
    return;
  }
  clear_box(buffer, box);
  const std::vector<tui::Rect> parts = panel_parts(box);

  const tui::Rect body = draw_panel_frame(
      buffer, parts[0], " Assistant · claims are separate from canonical results ");
  const AssistantState& assistant = state.assistant;
  const std::string text = assistant_body_text(state);
  const ScrollExtent extent = text_extent(text, body, Wrapping::words);
  draw_wrapped_text(buffer, body, text,
                    assistant.raw ? DetailLines::Styling::plain : DetailLines::Styling::by_shape,
                    extent.clamp(assistant.scroll));
  if (const std::string position = extent.position(assistant.scroll); !position.empty()) {
    draw_border_notes(buffer, parts[0], {position}, true);
  }

  const tui::Rect prompt =
      draw_panel_frame(buffer, parts[1], " Prompt · no send before approval ", assistant.composing);
  const TypedText typed = prompt_text(assistant);
  draw_wrapped_text(buffer, prompt, typed.text, DetailLines::Styling::plain, 0,
                    {.base = {}, .cursor = typed.cursor});

  // The controls have no border but sit on the panel's background like the parts above them.
  draw_wrapped_text(
      buffer, parts[2], assistant_legend() + "\n" + std::string(controls_notice),
      DetailLines::Styling::plain, 0,
      {.base = tui::fg(palette::text_muted).with_bg(palette::bg_panel), .cursor = std::nullopt});
}

}  // namespace qm
