#include "model/message_log.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/limits.hpp"

namespace qm {
namespace {

std::vector<std::string> texts(const MessageLog& log) {
  std::vector<std::string> out;
  for (const LoggedMessage& entry : log.entries) {
    out.push_back(entry.time + " " + entry.text);
  }
  return out;
}

TEST(MessageLog, LogsEachNewMessageOnceNewestFirst) {
  // Each step: the viewer's status and the document's message as the loop sees them.
  const struct {
    std::string status;
    std::string document;
  } steps[] = {
      {"", "Watching"},  // the document's message at start
      {"Requested export", "Watching"},
      {"Requested export", "Watching"},  // still on the row: not again
      {"", "Exported topic:/scan"},      // the answer replaces the waiting
      {"", "Exported topic:/scan"},
      {"Requested export", "Exported topic:/scan"},  // asked again after it was cleared
  };
  MessageLog log;
  int second = 0;
  for (const auto& step : steps) {
    note_messages(log, step.status, step.document, std::to_string(second++));
  }
  EXPECT_EQ(texts(log), (std::vector<std::string>{"5 Requested export", "3 Exported topic:/scan",
                                                  "1 Requested export", "0 Watching"}));
}

TEST(MessageLog, KeepsOnlyTheNewest) {
  MessageLog log;
  for (std::size_t i = 0; i < limits::logged_messages + 5; ++i) {
    note_messages(log, "message " + std::to_string(i), "", "t");
  }
  ASSERT_EQ(log.entries.size(), limits::logged_messages);
  EXPECT_EQ(log.entries.front().text, "message 104");
  EXPECT_EQ(log.entries.back().text, "message 5");
}

}  // namespace
}  // namespace qm
