#pragma once

#include <string>

#include "model/message_log.hpp"
#include "tui/buffer.hpp"
#include "tui/geometry.hpp"

namespace qm {

// The logged messages, newest first, one "{time}  {message}" line each, made display-safe.
std::string message_log_text(const MessageLog& log);

// Draws the message log in `box`, scrolled by the log's own offset.
void draw_message_log(tui::Buffer& buffer, tui::Rect box, const MessageLog& log);

}  // namespace qm
