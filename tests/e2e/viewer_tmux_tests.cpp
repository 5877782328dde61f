#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <nlohmann/json.hpp>

#include "support/temp_dir.hpp"
#include "support/tmux_session.hpp"

namespace qm {
namespace {

using namespace std::chrono_literals;
using testing::TempDir;
using testing::TmuxSession;

std::string viewer_command(const std::string& arguments, const std::string& status_file) {
  // The settings are written before the status, so a test that saw the status can read them.
  return std::string(QM_BINARY) + " " + arguments + "; code=$?; stty -a > " + status_file +
         ".stty; echo \"EXIT=$code\" > " + status_file + "; sleep 60";
}

const std::string demo_session = std::string(QM_SOURCE_DIR) + "/examples/demo-session.json";

// The viewer on the demo document, after a note of the terminal settings it starts from.
std::string demo_viewer_noting_settings(const std::string& status_file,
                                        const std::string& extra_arguments = "") {
  return "stty -a > " + status_file + ".before; " +
         viewer_command("--session " + demo_session + extra_arguments, status_file);
}

// The line of the screen that holds `text`, or empty.
std::string line_with(const std::string& screen, const std::string& text) {
  std::size_t at = screen.find(text);
  if (at == std::string::npos)
    return {};
  const std::size_t begin =
      screen.rfind('\n', at) == std::string::npos ? 0 : screen.rfind('\n', at) + 1;
  return screen.substr(begin, screen.find('\n', at) - begin);
}

nlohmann::json topics_document(const std::vector<std::string>& names, const std::string& label) {
  nlohmann::json entities = nlohmann::json::array();
  for (const std::string& name : names) {
    entities.push_back({{"id", "topic:" + name},
                        {"kind", "topic"},
                        {"name", name},
                        {"details", {{"publisher_count", 1}, {"subscriber_count", 1}}}});
  }
  return {{"schema", "quillmesh.terminal-session/1"},
          {"entities", entities},
          {"selection", "topic:/b"},
          {"current", {{"label", label}, {"graph", {{"edges", nlohmann::json::array()}}}}}};
}

TEST(ViewerInTmux, PicksUpARenamedDocumentAndKeepsTheSelection) {
  TempDir dir;
  const std::string session = dir.file("session.json");
  testing::replace_file(session, topics_document({"/a", "/b", "/c"}, "first capture").dump());
  TmuxSession tmux(viewer_command("--session " + session, dir.file("status")), 120, 36);
  ASSERT_TRUE(tmux.wait_for_text("first capture"));
  ASSERT_NE(line_with(tmux.screen(), "› ● /b"), "");

  // The backend's way: a new file renamed over the old one. /b moves down one row.
  testing::replace_file(session,
                        topics_document({"/0", "/a", "/b", "/c"}, "second capture").dump());
  EXPECT_TRUE(tmux.wait_for_text("second capture", 500ms));
  const std::string screen = tmux.screen();
  EXPECT_NE(line_with(screen, "› ● /b"), "") << screen;
  EXPECT_NE(line_with(screen, "Topics · 3/4"), "") << screen;

  tmux.send_keys("q");
  EXPECT_TRUE(tmux.wait_for(
      [&](const std::string&) { return testing::read_file(dir.file("status")) == "EXIT=0\n"; }));
}

TEST(ViewerInTmux, WalksTheDemoWithKeysMouseAndResizes) {
  TempDir dir;
  const std::string status = dir.file("status");
  TmuxSession tmux(demo_viewer_noting_settings(status), 120, 36);
  ASSERT_TRUE(tmux.wait_for_text("System at a glance"));

  tmux.send_keys("3");
  ASSERT_TRUE(tmux.wait_for_text("Topics · 1/"));
  tmux.send_keys("Down Down");
  EXPECT_TRUE(tmux.wait_for_text("Topics · 3/"));
  // A left click on the list's line 6 (0-based), the fifth row, selects it.
  tmux.send_text("\x1b[<0;30;7M\x1b[<0;30;7m");
  EXPECT_TRUE(tmux.wait_for_text("Topics · 5/"));
  tmux.send_keys("5");
  EXPECT_TRUE(tmux.wait_for_text("TF · 1/"));
  tmux.send_keys("]");
  EXPECT_TRUE(tmux.wait_for_text("Changes · 1/"));
  // A changed topic lists the field that differs above its two entries.
  tmux.send_keys("j j j");
  EXPECT_TRUE(tmux.wait_for_text("Changes · 4/"));
  EXPECT_TRUE(tmux.wait_for_text("CHANGED FIELDS")) << tmux.screen();
  EXPECT_TRUE(tmux.wait_for_text("~ details.qos_summary.publisher_reliability[0]: reliable"));

  // A left click on the rail's Playback line (row 12, 0-based) switches there.
  tmux.send_text("\x1b[<0;5;13M\x1b[<0;5;13m");
  EXPECT_TRUE(tmux.wait_for_text("╭Playback─"));

  // Narrow: the tab strip replaces the rail; and back.
  tmux.resize(90, 30);
  EXPECT_TRUE(tmux.wait_for_text(" 8 Playback "));
  EXPECT_TRUE(
      tmux.wait_for([](const std::string& s) { return s.find("╭Views") == std::string::npos; }));
  tmux.resize(120, 36);
  EXPECT_TRUE(tmux.wait_for_text("╭Views"));

  tmux.send_keys("q");
  EXPECT_TRUE(testing::ended_with_terminal_restored(tmux, status, "EXIT=0\n"));
}

TEST(ViewerInTmux, ControlCQuitsAndRestoresTheTerminal) {
  TempDir dir;
  const std::string status = dir.file("status");
  TmuxSession tmux(demo_viewer_noting_settings(status, " < /dev/null"), 100, 30);
  ASSERT_TRUE(tmux.wait_for_text("System at a glance"));
  tmux.send_keys("C-c");
  ASSERT_TRUE(testing::ended_with_terminal_restored(tmux, status, "EXIT=0\n"));
  // Back on the normal screen: the viewer's frame is gone.
  EXPECT_TRUE(
      tmux.wait_for([](const std::string& s) { return s.find("╭Views") == std::string::npos; }));
}

TEST(ViewerInTmux, YCopiesTheCheckCommandThroughTheTerminal) {
  TempDir dir;
  TmuxSession tmux(viewer_command("--session " + demo_session, dir.file("status")), 120, 36);
  tmux.accept_clipboard();
  ASSERT_TRUE(tmux.wait_for_text("System at a glance"));
  // The first finding of the demo, after the summary and four launch problems.
  tmux.send_keys("j j j j j");
  ASSERT_TRUE(tmux.wait_for_text("Health · 6/"));
  tmux.send_keys("y");
  ASSERT_TRUE(tmux.wait_for_text("Copied to the terminal clipboard: ")) << tmux.screen();
  const std::string line = line_with(tmux.screen(), "Copied to the terminal clipboard: ");
  const std::string command = line.substr(line.find(": ") + 2, 10);
  EXPECT_TRUE(tmux.wait_for([&](const std::string&) {
    return tmux.paste_buffer().starts_with(command);
  })) << tmux.paste_buffer();
}

TEST(ViewerInTmux, SOrdersTopicsByRateAndYCopiesTheSelectedName) {
  TempDir dir;
  TmuxSession tmux(viewer_command("--session " + demo_session, dir.file("status")), 120, 36);
  tmux.accept_clipboard();
  ASSERT_TRUE(tmux.wait_for_text("System at a glance"));
  tmux.send_keys("3");
  ASSERT_TRUE(tmux.wait_for_text("Topics · 1/"));
  tmux.send_keys("s s");
  ASSERT_TRUE(tmux.wait_for_text("order: rate")) << tmux.screen();
  // The selected topic moved down with its row; the slowest topics now come first.
  EXPECT_TRUE(tmux.wait_for([](const std::string& screen) {
    const std::size_t first_row = screen.find('\n', screen.find("╭Topics")) + 1;
    const std::string row = screen.substr(first_row, screen.find('\n', first_row) - first_row);
    return screen.find("Topics · 1/") == std::string::npos &&
           row.find("1.0 Hz") != std::string::npos;
  })) << tmux.screen();
  tmux.send_keys("y");
  EXPECT_TRUE(tmux.wait_for([&](const std::string&) {
    return tmux.paste_buffer() == "/amcl_pose";
  })) << tmux.paste_buffer();
  // Two more presses come back to the document's order, which the border does not name.
  tmux.send_keys("s s");
  EXPECT_TRUE(tmux.wait_for([](const std::string& screen) {
    return screen.find("order:") == std::string::npos &&
           screen.find("Topics · 1/") != std::string::npos;
  })) << tmux.screen();
}

TEST(ViewerInTmux, ConnectingTheAssistantEndsWithStatus77AndARestoredTerminal) {
  TempDir dir;
  const std::string status = dir.file("status");
  TmuxSession tmux(demo_viewer_noting_settings(status), 120, 36);
  ASSERT_TRUE(tmux.wait_for_text("System at a glance"));
  tmux.send_keys("A");
  ASSERT_TRUE(tmux.wait_for_text("Prompt · no send before approval"));
  tmux.send_keys("C");
  ASSERT_TRUE(testing::ended_with_terminal_restored(tmux, status, "EXIT=77\n"));
  EXPECT_TRUE(
      tmux.wait_for([](const std::string& s) { return s.find("╭Views") == std::string::npos; }));
}

}  // namespace
}  // namespace qm
