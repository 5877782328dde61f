#include "input/copy_keys.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "input/dispatch_document.hpp"
#include "model/row_selection.hpp"
#include "support/key_events.hpp"
#include "support/state_builder.hpp"
#include "ui/log_overlay.hpp"

namespace qm {
namespace {

using nlohmann::json;
using testing::key;

std::string copied(std::string_view text) {
  return "Copied to the terminal clipboard: " + std::string(text) +
         " (if your terminal blocks OSC 52, copy it from the inspector)";
}

// The dispatch session with a change, a project, a task with an experiment, a recording, an
// export, and topics whose names hold a line feed and a control character.
json copy_document() {
  json document = testing::dispatch_document();
  document["entities"].push_back(
      {{"id", "topic:/two"}, {"kind", "topic"}, {"name", "/two\nlines"}});
  document["entities"].push_back({{"id", "topic:/bell"}, {"kind", "topic"}, {"name", "/bell\x07"}});
  document["comparison"]["changes"] =
      json::array({{{"id", "node:/gone"}, {"status", "removed"}, {"name", "/gone"}},
                   {{"id", "change:nameless"}, {"status", "changed"}}});
  document["project"] = {{"root", "/home/robot/ws"}};
  document["task_path"] = "/home/robot/ws/task.json";
  document["task"] = {{"experiments", json::array({{{"id", "exp-7"}, {"hypothesis", "h"}}})}};
  document["runtime"]["playback"]["bag"] = "/bags/dock";
  document["runtime"]["last_export"] = "/exports/old.json";
  document["runtime"]["export_feedback"] = {{"path", "/exports/scan.json"}};
  return document;
}

TEST(CopyKeys, YCopiesWhatEachViewHasSelected) {
  const struct {
    View view;
    std::string_view select;
    std::optional<std::string> clipboard;
    std::string status;
  } cases[] = {
      {View::graph, "topic:/cmd_vel", "/cmd_vel", copied("/cmd_vel")},
      {View::topics, "topic:/scan", "/scan", copied("/scan")},
      {View::topics, "topic:/bell", "/bell\uFFFD", copied("/bell\uFFFD")},
      {View::topics, "topic:/two", std::nullopt,
       "The topic name spans several lines; copy it from the inspector"},
      {View::nodes, "node:/controller", "/controller", copied("/controller")},
      {View::tf, "frame:odom", "odom", copied("odom")},
      {View::changes, "node:/gone", "/gone", copied("/gone")},
      {View::changes, "change:nameless", std::nullopt, "No entity name to copy"},
      {View::results, "run:r-1", "r-1", copied("r-1")},
      {View::results, "check:r-1:1", "r-1", copied("r-1")},
      {View::results, "check:1:0", std::nullopt, "No run id to copy"},
      {View::project, "project:summary", "/home/robot/ws", copied("/home/robot/ws")},
      {View::project, "task:history", "/home/robot/ws/task.json",
       copied("/home/robot/ws/task.json")},
      {View::project, "experiment:exp-7", "exp-7", copied("exp-7")},
      {View::playback, "", "/bags/dock", copied("/bags/dock")},
      {View::capture, "", "/exports/scan.json", copied("/exports/scan.json")},
  };
  for (const auto& c : cases) {
    AppState state = testing::state_of(copy_document(), c.view);
    if (!c.select.empty()) {
      ASSERT_TRUE(select_row_by_id(state, c.select)) << c.select;
    }
    handle_key(state, key(U'y'));
    EXPECT_EQ(state.outbox.clipboard, c.clipboard) << view_name(c.view) << " " << c.select;
    EXPECT_EQ(state.status, c.status) << view_name(c.view) << " " << c.select;
  }
}

TEST(CopyKeys, NothingToCopySaysSo) {
  json document = copy_document();
  document["runtime"].erase("playback");
  document["runtime"].erase("export_feedback");
  document["runtime"].erase("last_export");
  const struct {
    View view;
    std::string filter;
    std::string status;
  } cases[] = {
      {View::nodes, "no such node", "Nothing is selected to copy"},
      {View::playback, "", "No recording path to copy"},
      {View::capture, "", "No export path to copy"},
  };
  for (const auto& c : cases) {
    AppState state = testing::state_of(document, c.view);
    state.filter = c.filter;
    rebuild_rows(state);
    handle_key(state, key(U'y'));
    EXPECT_FALSE(state.outbox.clipboard.has_value()) << c.status;
    EXPECT_EQ(state.status, c.status);
  }
}

// The launch-log viewer on a page of three lines, scrolled so that `line` is at the top.
struct LogCase {
  const char* note;
  bool page_matches;
  std::size_t top_line;
  std::optional<std::string> clipboard;
  std::string status;
};

TEST(CopyKeys, YInTheLaunchLogCopiesTheLineAtTheTop) {
  const std::string from_log = " (if your terminal blocks OSC 52, copy it from the log file)";
  const LogCase cases[] = {
      {"the page's first line", true, 0, "[INFO] up\tand running",
       "Copied to the terminal clipboard: [INFO] up\tand running" + from_log},
      {"scrolled to the second line", true, 1, std::nullopt,
       "The log line spans several lines; copy it from the log file"},
      {"scrolled past the page: its last line", true, 7, "[ERROR] died",
       "Copied to the terminal clipboard: [ERROR] died" + from_log},
      {"a page for other settings", false, 0, std::nullopt, "No log line to copy on this page"},
  };
  for (const LogCase& c : cases) {
    json document = testing::dispatch_document();
    document["runtime"]["launch"] = {{"log", "/tmp/launch.log"}};
    document["runtime"]["launch_log_page"] = {
        {"path", "/tmp/launch.log"},
        {"query", ""},
        {"severity", c.page_matches ? "all" : "error"},
        {"context", 0},
        {"lines", json::array({{{"number", 1}, {"text", "[INFO] up\tand running"}},
                               {{"number", 2}, {"text", "two\nlines"}},
                               {{"number", 3}, {"text", "[ERROR] died"}}})}};
    AppState state = testing::state_of(document);
    handle_key(state, key(U'L'));
    ASSERT_TRUE(state.log.open);
    state.outbox.requests.clear();
    state.log.line_scroll =
        static_cast<uint16_t>(launch_log_rows(state, false).page_begin + c.top_line);
    handle_key(state, key(U'y'));
    EXPECT_EQ(state.outbox.clipboard, c.clipboard) << c.note;
    EXPECT_EQ(state.status, c.status) << c.note;
  }
}

}  // namespace
}  // namespace qm
