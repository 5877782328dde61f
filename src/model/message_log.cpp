#include "model/message_log.hpp"

#include "model/limits.hpp"

namespace qm {

namespace {

void note(MessageLog& log, std::string& last, std::string_view message, std::string_view time) {
  if (message == last) {
    return;
  }
  last = message;
  if (message.empty()) {
    return;
  }
  log.entries.push_front(LoggedMessage{std::string(time), std::string(message)});
  if (log.entries.size() > limits::logged_messages) {
    log.entries.pop_back();
  }
}

}  // namespace

void note_messages(MessageLog& log, std::string_view status, std::string_view document_message,
                   std::string_view time) {
  note(log, log.last_document, document_message, time);
  note(log, log.last_status, status, time);
}

}  // namespace qm
