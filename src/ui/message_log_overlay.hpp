#pragma once

#include <string>

#include "model/message_log.hpp"
#include "tui/buffer.hpp"
#include "tui/geometry.hpp"
#include "ui/scroll_extent.hpp"

namespace qm {

// The logged messages, newest first, one "{time}  {message}" line each, made display-safe.
std::string message_log_text(const MessageLog& log);

// How the message log fills its panel in the terminal's `area` (the help panel's box).
ScrollExtent message_log_extent(tui::Rect area, const MessageLog& log);

// Draws the message log over the terminal's `area`, scrolled by the log's own offset.
void draw_message_log(tui::Buffer& buffer, tui::Rect area, const MessageLog& log);

}  // namespace qm
