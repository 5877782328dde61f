#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

namespace qm {

// A message the status row showed, with the viewer's time of day when it appeared.
struct LoggedMessage {
  std::string time;
  std::string text;
};

// The messages the status row has shown, newest first, and the overlay that lists them whole.
struct MessageLog {
  std::deque<LoggedMessage> entries;
  // The last key or request message and the last document message seen, so that a message
  // still on the row is not logged again.
  std::string last_status;
  std::string last_document;
  bool open = false;
  uint16_t scroll = 0;
};

// Logs `status` (the viewer's own message) and `document_message` (what the document reports)
// when either is new; keeps the newest `limits::logged_messages`.
void note_messages(MessageLog& log, std::string_view status, std::string_view document_message,
                   std::string_view time);

}  // namespace qm
