#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "support/pty_child.hpp"
#include "support/terminal_bytes.hpp"
#include "tui/sequences.hpp"

// The viewer itself, run in a pseudo-terminal and sent signals as kill or a job-control shell
// would send them.

namespace qm {
namespace {

using ::testing::EndsWith;
using testing::enter_bytes;
using testing::exited_with;
using ::testing::HasSubstr;
using testing::is_raw;
using testing::killed_by;
using testing::PtyChild;
using testing::PtyChildOptions;
using testing::restore_bytes;
using testing::same_settings;
using ::testing::StartsWith;

// What a frame drawn whole starts with: the screen cleared and the cursor hidden.
const std::string whole_frame_start =
    std::string(tui::clear_screen_sequence) + std::string(tui::hide_cursor_sequence);
// The demo's first frame shows this title.
constexpr std::string_view frame_text = "System at a glance";

int run_viewer_on_demo() {
  // SIGQUIT would leave a core file.
  const rlimit no_core{0, 0};
  ::setrlimit(RLIMIT_CORE, &no_core);
  const std::string demo = std::string(QM_SOURCE_DIR) + "/examples/demo-session.json";
  ::execl(QM_BINARY, QM_BINARY, "--session", demo.c_str(), static_cast<char*>(nullptr));
  return 127;
}

TEST(ViewerSignals, ASignalThatEndsTheViewerRestoresTheTerminalFirst) {
  for (const int signal_number : {SIGTERM, SIGHUP, SIGINT, SIGQUIT}) {
    SCOPED_TRACE(::strsignal(signal_number));
    PtyChild viewer(PtyChildOptions{}, run_viewer_on_demo);
    const std::string first = viewer.terminal().read(frame_text);
    ASSERT_THAT(first, StartsWith(enter_bytes + whole_frame_start));
    ASSERT_THAT(first, EndsWith(frame_text));
    viewer.signal_foreground(signal_number);
    EXPECT_EQ(viewer.wait(), killed_by(signal_number));
    EXPECT_THAT(viewer.terminal().read_rest(), EndsWith(restore_bytes));
    EXPECT_TRUE(same_settings(viewer.terminal().settings(), viewer.initial_settings()));
    EXPECT_EQ(viewer.read_error(), "");
  }
}

TEST(ViewerSignals, AStopHandsTheTerminalBackAndAContinueSetsItUpAndDrawsItWhole) {
  PtyChild viewer(PtyChildOptions{.job = true}, run_viewer_on_demo);
  testing::PseudoTerminal& terminal = viewer.terminal();
  const std::string first = terminal.read(frame_text);
  ASSERT_THAT(first, StartsWith(enter_bytes + whole_frame_start));
  ASSERT_THAT(first, EndsWith(frame_text));

  viewer.signal_foreground(SIGTSTP);
  EXPECT_THAT(terminal.read(restore_bytes), EndsWith(restore_bytes));
  ASSERT_TRUE(viewer.wait_stopped());
  EXPECT_TRUE(same_settings(terminal.settings(), viewer.initial_settings()));
  EXPECT_EQ(terminal.read_rest(), "");

  viewer.signal_foreground(SIGCONT);
  const std::string again = terminal.read(frame_text);
  EXPECT_THAT(again, StartsWith(enter_bytes + whole_frame_start));
  EXPECT_THAT(again, EndsWith(frame_text));
  // Cooked, the viewer would never see the key that quits it.
  ASSERT_TRUE(is_raw(terminal.settings()));

  // Quitting restores once: the terminal object shows the cursor, then the restore runs.
  terminal.write("q");
  EXPECT_THAT(terminal.read(restore_bytes),
              EndsWith(std::string(tui::show_cursor_sequence) + restore_bytes));
  EXPECT_EQ(viewer.wait(), exited_with(0));
  EXPECT_EQ(terminal.read_rest(), "");
  EXPECT_TRUE(same_settings(terminal.settings(), viewer.initial_settings()));
  EXPECT_EQ(viewer.read_error(), "");
}

TEST(ViewerSignals, AStopThatTheKernelIgnoresStillSetsTheTerminalUpAgain) {
  // A session leader's process group has no shell to continue it, so SIGTSTP does not stop it:
  // the terminal restored for the stop must be set up again at once.
  PtyChild viewer(PtyChildOptions{}, run_viewer_on_demo);
  testing::PseudoTerminal& terminal = viewer.terminal();
  ASSERT_THAT(terminal.read(frame_text), EndsWith(frame_text));
  viewer.signal_foreground(SIGTSTP);
  EXPECT_THAT(terminal.read(frame_text),
              HasSubstr(restore_bytes + enter_bytes + whole_frame_start));
  // Cooked, the viewer would never see the key that quits it.
  ASSERT_TRUE(is_raw(terminal.settings()));
  terminal.write("q");
  EXPECT_EQ(viewer.wait(), exited_with(0));
  EXPECT_TRUE(same_settings(terminal.settings(), viewer.initial_settings()));
}

}  // namespace
}  // namespace qm
