#include "ui/status_row.hpp"

#include <fmt/format.h>

#include <array>
#include <span>
#include <string>

#include "model/mode.hpp"
#include "text/text.hpp"
#include "text/value_text.hpp"
#include "ui/palette.hpp"
#include "ui/typing_cursor.hpp"

namespace qm {

namespace {

constexpr std::array<std::string_view, 5> failure_words = {"failed", "error", "rejected", "refused",
                                                           "cannot"};
constexpr std::array<std::string_view, 10> warning_words = {
    "unavailable", "absent",     "disappeared", "no retained",     "must be",
    "before",      "no pending", "no named",    "unknown request", "attach --task"};

bool contains_any(std::string_view text, std::span<const std::string_view> words) {
  for (const std::string_view word : words) {
    if (contains(text, word)) {
      return true;
    }
  }
  return false;
}

// What the document says when nothing else is shown, and whether it is the backend's error.
struct DocumentMessage {
  std::string text;
  bool backend_error = false;
};

DocumentMessage document_message(const Json& root) {
  const Json& runtime = member(root, "runtime");
  const Json& feedback = member(runtime, "export_feedback");
  const auto backend_status = string_of(member(runtime, "status"));
  const bool exported = backend_status.has_value() && backend_status->starts_with("Exported ");
  if (is_string_equal(member(feedback, "status"), "failed") &&
      (exported || (backend_status.has_value() && *backend_status == "Export failed"))) {
    return {fmt::format("Export failed for {}: {}",
                        value_display_text(member(feedback, "entity_id")),
                        value_display_text(member(feedback, "error")))};
  }
  if (is_string_equal(member(feedback, "status"), "success") && exported) {
    return {fmt::format("Exported {} · press 9 Capture for full destination",
                        value_display_text(member(feedback, "entity_id")))};
  }
  const Json& error = member(runtime, "error");
  if (error.is_string()) {
    return {value_display_text(error), true};
  }
  // Without a notice the row stays empty rather than reading "unknown".
  const Json& notice = member(root, "notice");
  return {notice.is_null() ? std::string() : value_display_text(notice)};
}

}  // namespace

tui::Color message_colour(std::string_view message, bool backend_error) {
  const std::string lowered = lowercase_full(message);
  if (lowered.starts_with("exported ")) {
    return palette::ok;
  }
  if (backend_error || contains_any(lowered, failure_words)) {
    return palette::bad;
  }
  if (contains_any(lowered, warning_words)) {
    return palette::warn;
  }
  if (lowered.starts_with("requested ")) {
    return palette::info;
  }
  return palette::text_muted;
}

tui::Line status_line(const AppState& state, std::size_t width) {
  tui::Line line;
  line.push(" ");
  if (active_mode(state) == Mode::filter_entry) {
    line.push("/", tui::fg(palette::accent).bold());
    line.push(display_safe(state.filter), tui::fg(palette::text_bright).bold());
    line.spans.push_back(cursor_span());
    line.push("  This view only · Enter apply · Esc clear", tui::fg(palette::text_muted));
    return line;
  }
  // A message too long for the row ends in "…"; the message log shows it whole.
  const std::size_t room = width > 0 ? width - 1 : 0;
  if (!state.status.empty()) {
    const std::string message = display_safe(state.status);
    const tui::Color colour = message_colour(message, false);
    line.push(truncate_end(message, room), tui::fg(colour));
    return line;
  }
  if (!state.filter.empty()) {
    line.push("Filter (this view):", tui::fg(palette::accent_soft).bold());
    line.push(" ");
    line.push(display_safe(state.filter), tui::fg(palette::text_bright).bold());
    line.push("  · Esc clear · switching views clears", tui::fg(palette::text_muted));
    return line;
  }
  const DocumentMessage message = document_message(state.document());
  const tui::Color colour = message_colour(message.text, message.backend_error);
  line.push(truncate_end(message.text, room), tui::fg(colour));
  return line;
}

std::string document_status_message(const AppState& state) {
  return document_message(state.document()).text;
}

}  // namespace qm
