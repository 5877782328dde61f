#include "ui/message_log_overlay.hpp"

#include "text/text.hpp"
#include "ui/detail_lines.hpp"
#include "ui/overlay_box.hpp"
#include "ui/palette.hpp"

namespace qm {

std::string message_log_text(const MessageLog& log) {
  if (log.entries.empty()) {
    return "No messages yet. What the status row shows is kept here, newest first.";
  }
  std::string text;
  for (const LoggedMessage& entry : log.entries) {
    text += entry.time;
    text += "  ";
    text += display_safe(entry.text);
    text += '\n';
  }
  return text;
}

ScrollExtent message_log_extent(tui::Rect area, const MessageLog& log) {
  return text_extent(message_log_text(log), help_box(area).inner(1), Wrapping::words);
}

void draw_message_log(tui::Buffer& buffer, tui::Rect area, const MessageLog& log) {
  draw_text_panel(buffer, help_box(area), " Messages · newest first ", message_log_text(log),
                  DetailLines::Styling::plain, log.scroll,
                  WrappedLook{.base = tui::fg(palette::text_base), .cursor = std::nullopt});
}

}  // namespace qm
