#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>
#include <thread>

#include "support/temp_dir.hpp"
#include "support/tmux_session.hpp"

namespace qm {
namespace {

using namespace std::chrono_literals;
using testing::TempDir;
using testing::TmuxSession;

std::string build_folder() {
  return std::filesystem::path(QM_BINARY).parent_path().string();
}

// `make demo` as a newcomer runs it: the backend in a fresh folder, the viewer on its document.
std::string demo_command(const std::string& folder, const std::string& status) {
  return "stty -a > " + status + ".before; " + std::string(QM_SOURCE_DIR) + "/scripts/run-demo " +
         build_folder() + " " + folder + "; echo \"EXIT=$?\" > " + status + ".tmp; stty -a > " +
         status + ".stty; mv " + status + ".tmp " + status + "; sleep 60";
}

// Presses `keys` and waits, pressing nothing else, for the backend's `answer` on screen.
::testing::AssertionResult answered(TmuxSession& tmux, const std::string& keys,
                                    const std::string& answer) {
  tmux.send_keys(keys);
  if (!tmux.wait_for_text(answer, 3000ms)) {
    return ::testing::AssertionFailure() << keys << " got no \"" << answer << "\":\n"
                                         << tmux.screen();
  }
  return ::testing::AssertionSuccess();
}

// The offsets the player's log says it was moved to, oldest first.
std::vector<double> seeks_in_player_log(const std::string& folder) {
  const auto document =
      nlohmann::json::parse(testing::read_file(folder + "/session.json"), nullptr, false);
  const auto tail = document.is_object() ? document.value("/runtime/playback/log_tail"_json_pointer,
                                                          nlohmann::json::array())
                                         : nlohmann::json::array();
  static const std::regex seeked("Seeked to ([0-9.]+) s");
  std::vector<double> out;
  for (const nlohmann::json& line : tail) {
    std::smatch found;
    const std::string text = line.is_string() ? line.get<std::string>() : "";
    if (std::regex_search(text, found, seeked)) {
      out.push_back(std::stod(found[1]));
    }
  }
  return out;
}

// The launch log shows the newest retained line: its number, just above the end note, is the
// number of retained lines.
bool shows_last_log_line(const std::string& screen) {
  static const std::regex retained("retained lines: ([0-9]+)");
  std::smatch count;
  if (!std::regex_search(screen, count, retained)) {
    return false;
  }
  std::istringstream rows(screen);
  std::string previous;
  for (std::string row; std::getline(rows, row); previous = row) {
    if (row.find("End of matching retained lines.") != std::string::npos) {
      return previous.find(" " + count[1].str() + "  ") != std::string::npos;
    }
  }
  return false;
}

TEST(LiveDemo, EveryRequestIsAnsweredOnScreenAndQuitEndsBoth) {
  TempDir dir;
  const std::string folder = dir.file("demo");
  std::filesystem::create_directory(folder);
  const std::string status = dir.file("status");
  TmuxSession tmux(demo_command(folder, status), 120, 36);
  ASSERT_TRUE(tmux.wait_for_text("System at a glance", 10000ms)) << tmux.screen();

  // Left alone, the viewer redraws because the backend rewrote the document (rates drift).
  const std::string idle = tmux.screen();
  EXPECT_TRUE(tmux.wait_for([&](const std::string& s) { return s != idle; }, 3000ms));

  EXPECT_TRUE(answered(tmux, "r", "Capture refreshed at"));
  EXPECT_TRUE(answered(tmux, "3 e", "· press 9 Capture for full destination"));
  tmux.send_keys("i");
  EXPECT_TRUE(tmux.wait_for_text("Outcome: ")) << tmux.screen();
  EXPECT_TRUE(answered(tmux, "7 g", "started: colcon build"));
  // The status filter "fail" keeps the runs the backend reports as "failed".
  tmux.send_keys("s s");
  EXPECT_TRUE(tmux.wait_for([](const std::string& screen) {
    return screen.find(" fail─") != std::string::npos && screen.find("0/0") == std::string::npos &&
           screen.find("[failed]") != std::string::npos &&
           screen.find("[passed]") == std::string::npos;
  })) << tmux.screen();
  tmux.send_keys("s s s s");
  EXPECT_TRUE(answered(tmux, "8 p", "Playback started at"));
  // Two seeks pressed before the player reports the first move it ten seconds, not five.
  tmux.send_keys("Right Right");
  EXPECT_TRUE(tmux.wait_for([&](const std::string&) {
    return seeks_in_player_log(folder).size() >= 2;
  })) << tmux.screen();
  if (const std::vector<double> seeks = seeks_in_player_log(folder); seeks.size() >= 2) {
    EXPECT_NEAR(seeks[1] - seeks[0], 5.0, 0.5) << seeks[0] << " then " << seeks[1];
  }
  EXPECT_TRUE(answered(tmux, "0 u", "read again from"));

  // The assistant's answer is read after closing its panel.
  tmux.send_keys("A");
  ASSERT_TRUE(tmux.wait_for_text("Prompt · no send before approval"));
  EXPECT_TRUE(answered(tmux, "y Escape", "once; the disclosure was sent"));
  // A key typed right after Escape would arrive as Alt and the key: wait for the panel to close.
  ASSERT_TRUE(tmux.wait_for([](const std::string& s) {
    return s.find("Prompt · no send before approval") == std::string::npos;
  })) << tmux.screen();

  tmux.send_keys("L");
  EXPECT_TRUE(tmux.wait_for_text("     1  ")) << tmux.screen();
  tmux.send_keys("e");
  EXPECT_TRUE(tmux.wait_for_text("severity: error · context: 0 · matches: ")) << tmux.screen();
  EXPECT_TRUE(tmux.wait_for(
      [](const std::string& s) { return s.find("matches: pending") == std::string::npos; }));
  // End pages through the whole log, one page a reload, to its newest line; a tall terminal
  // takes the longest pages.
  tmux.resize(120, 97);
  tmux.send_keys("a");
  EXPECT_TRUE(tmux.wait_for_text("severity: all · context: 0 · matches: 0")) << tmux.screen();
  EXPECT_TRUE(tmux.wait_for_text("page lines: 80 ·")) << tmux.screen();
  tmux.send_keys("End");
  EXPECT_TRUE(tmux.wait_for(shows_last_log_line, 60000ms)) << tmux.screen();
  tmux.resize(120, 36);
  tmux.send_keys("Escape");
  ASSERT_TRUE(tmux.wait_for(
      [](const std::string& s) { return s.find("Owned ROS launch log") == std::string::npos; }));

  // The view is saved with the backend; quitting ends both processes and restores the terminal.
  tmux.send_keys("4");
  ASSERT_TRUE(tmux.wait_for_text("Nodes · 1/"));
  const auto saved_tab = [&] {
    const auto document =
        nlohmann::json::parse(testing::read_file(folder + "/session.json"), nullptr, false);
    return document.is_object() ? document.value("/view_state/tab"_json_pointer, -1) : -1;
  };
  EXPECT_TRUE(tmux.wait_for([&](const std::string&) { return saved_tab() == 3; }));
  tmux.send_keys("q");
  ASSERT_TRUE(testing::ended_with_terminal_restored(tmux, status, "EXIT=0\n", 5000ms));
  // A live backend rewrites the document every second; a stopped one leaves it as it is.
  const std::string last = testing::read_file(folder + "/session.json");
  std::this_thread::sleep_for(2500ms);
  EXPECT_EQ(testing::read_file(folder + "/session.json"), last);

  // Reopened on the same document, the viewer comes back to the saved view.
  TmuxSession again(std::string(QM_BINARY) + " --session " + folder + "/session.json; sleep 60",
                    120, 36);
  EXPECT_TRUE(again.wait_for_text("Nodes · 1/")) << again.screen();
}

}  // namespace
}  // namespace qm
