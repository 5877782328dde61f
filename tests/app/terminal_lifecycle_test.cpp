#include "app/terminal_lifecycle.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mman.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>
#include <string>

#include "support/key_events.hpp"
#include "support/pty_child.hpp"
#include "support/terminal_bytes.hpp"
#include "term/restore.hpp"
#include "tui/invariant.hpp"
#include "tui/sequences.hpp"

// These tests run every case in a forked child whose controlling terminal is a pseudo-terminal.
// Under AddressSanitizer the fatal-signal restore replaces the sanitizer's SIGSEGV handler (it
// allows a program's own handler), so a fault in the child still dies of SIGSEGV after the
// restore and needs no sanitizer options.

namespace qm {
namespace {

using namespace std::chrono_literals;
using testing::ChildInput;
using testing::ChildOutput;
using ::testing::EndsWith;
using testing::enter_bytes;
using testing::exited_with;
using testing::is_raw;
using testing::killed_by;
using testing::PtyChild;
using testing::PtyChildOptions;
using testing::restore_bytes;
using testing::same_settings;
using ::testing::StartsWith;

// Leaving: the terminal object shows the cursor, then the restore sequence runs.
const std::string leave_bytes = std::string(tui::show_cursor_sequence) + restore_bytes;

void draw_ready(tui::Frame& frame) {
  frame.buffer().set_string(0, 0, "ready", tui::Style{});
}

// Waits for the key `character` from the session's events.
bool await_key(TerminalSession& session, char32_t character) {
  const auto polled = session.events.poll(5s);
  if (!polled || !*polled) {
    return false;
  }
  const auto event = session.events.read();
  return event && *event == tui::Event(testing::key(character));
}

bool broken_pipe_action_is_default() {
  struct sigaction action {};
  ::sigaction(SIGPIPE, nullptr, &action);
  return action.sa_handler == SIG_DFL;
}

// The handler of `signal_number` now: SIG_DFL, SIG_IGN or a function.
sighandler_t handler_of(int signal_number) {
  struct sigaction action {};
  ::sigaction(signal_number, nullptr, &action);
  return action.sa_handler;
}

// Some of the signals taken over while the terminal is held.
constexpr int held_signals[] = {SIGTERM, SIGINT, SIGQUIT, SIGUSR1, SIGTSTP, SIGCONT};

bool held_signal_actions_are_default() {
  return std::ranges::all_of(held_signals, [](int s) { return handler_of(s) == SIG_DFL; });
}

TEST(TerminalLifecycle, EntersAndLeavesWithExactBytesAndPutsTheSettingsBack) {
  // With standard input from /dev/null the controlling terminal is reached through /dev/tty.
  for (const ChildInput input : {ChildInput::terminal, ChildInput::dev_null}) {
    SCOPED_TRACE(input == ChildInput::terminal ? "input on the terminal" : "input from /dev/null");
    PtyChild child(PtyChildOptions{.input = input}, [] {
      auto session = enter_terminal(tui::EscapeOptions{});
      if (!session) {
        return 10;
      }
      if (!await_key(*session, U'q')) {
        return 11;
      }
      if (!session->terminal.draw(draw_ready) || !session->terminal.cursor_hidden()) {
        return 12;
      }
      if (!leave_terminal(std::move(*session))) {
        return 13;
      }
      if (!broken_pipe_action_is_default()) {
        return 14;
      }
      // Nothing is left to restore.
      restore_terminal();
      return 0;
    });
    EXPECT_EQ(child.terminal().read(enter_bytes), enter_bytes);
    EXPECT_TRUE(is_raw(child.terminal().settings()));
    child.terminal().write("q");
    const std::string frame = child.terminal().read("ready");
    EXPECT_THAT(frame, EndsWith("ready"));
    EXPECT_EQ(child.terminal().read(leave_bytes), leave_bytes);
    EXPECT_EQ(child.wait(), exited_with(0));
    EXPECT_EQ(child.terminal().read_rest(), "");
    EXPECT_EQ(child.read_error(), "");
    EXPECT_TRUE(same_settings(child.terminal().settings(), child.initial_settings()));
  }
}

TEST(TerminalLifecycle, AFailureWhileEnteringLeavesTheTerminalInCookedModeAndWritesNothing) {
  struct Case {
    const char* note;
    PtyChildOptions options;
    int error;
  };
  // A closed pipe would raise SIGPIPE, killing the process with the terminal raw, unless the
  // write is made to fail instead.
  const Case cases[] = {
      {"no controlling terminal",
       {.controlling_terminal = false, .input = ChildInput::pipe, .output = ChildOutput::pipe},
       ENXIO},
      {"closed pipe", {.output = ChildOutput::closed_pipe}, EPIPE},
      {"full device", {.output = ChildOutput::dev_full}, ENOSPC},
  };
  for (const Case& failing : cases) {
    SCOPED_TRACE(failing.note);
    PtyChild child(failing.options, [&failing] {
      const auto session = enter_terminal(tui::EscapeOptions{});
      if (session) {
        return 10;
      }
      if (session.error() != Error::os(failing.error)) {
        return 11;
      }
      if (tui::pending_restore_steps() != 0) {
        return 12;
      }
      return broken_pipe_action_is_default() && held_signal_actions_are_default() ? 0 : 13;
    });
    EXPECT_EQ(child.wait(), exited_with(0));
    EXPECT_TRUE(same_settings(child.terminal().settings(), child.initial_settings()));
    EXPECT_EQ(child.read_output_rest(), "");
    EXPECT_EQ(child.terminal().read_rest(), "");
    EXPECT_EQ(child.read_error(), "");
  }
}

TEST(TerminalLifecycle, TakesOverSignalsOnlyWhileHeldAndLeavesAnIgnoredHangUpIgnored) {
  PtyChild child(PtyChildOptions{}, [] {
    // As under nohup: a hang-up must not end the viewer, restore or not.
    ::signal(SIGHUP, SIG_IGN);
    auto session = enter_terminal(tui::EscapeOptions{});
    if (!session) {
      return 10;
    }
    if (handler_of(SIGHUP) != SIG_IGN ||
        std::ranges::any_of(held_signals, [](int s) { return handler_of(s) == SIG_DFL; })) {
      return 11;
    }
    if (!leave_terminal(std::move(*session))) {
      return 12;
    }
    return handler_of(SIGHUP) == SIG_IGN && held_signal_actions_are_default() ? 0 : 13;
  });
  EXPECT_EQ(child.wait(), exited_with(0));
  EXPECT_TRUE(same_settings(child.terminal().settings(), child.initial_settings()));
}

TEST(TerminalLifecycle, LeavingReportsACursorThatCannotBeShownAndStillRestores) {
  PtyChild child(PtyChildOptions{.output = ChildOutput::pipe}, [] {
    auto session = enter_terminal(tui::EscapeOptions{});
    if (!session) {
      return 10;
    }
    if (!session->terminal.draw(draw_ready)) {
      return 11;
    }
    if (!await_key(*session, U'q')) {
      return 12;
    }
    const auto left = leave_terminal(std::move(*session));
    return !left && left.error() == Error::os(EPIPE) ? 0 : 13;
  });
  EXPECT_THAT(child.read_output("ready"), StartsWith(enter_bytes));
  EXPECT_TRUE(is_raw(child.terminal().settings()));
  child.close_output();
  child.terminal().write("q");
  EXPECT_EQ(child.wait(), exited_with(0));
  // The terminal object tried once more when it was released.
  EXPECT_EQ(child.read_error(), "Failed to show the cursor: Broken pipe\n");
  EXPECT_TRUE(same_settings(child.terminal().settings(), child.initial_settings()));
}

void fail_a_check() {
  QM_CHECK(1 + 1 == 3);
}
constexpr int failing_check_line = __LINE__ - 2;

struct SampleFault : std::logic_error {
  using std::logic_error::logic_error;
};

TEST(FaultHook, AnInternalFaultRestoresTheTerminalBeforeItsReportAndExitsWith101) {
  struct Case {
    const char* name;
    std::function<void()> fault;
    ::testing::Matcher<std::string> report;
  };
  const Case cases[] = {
      {"uncaught exception", [] { throw std::runtime_error("document vanished"); },
       ::testing::Eq("internal fault: uncaught exception std::runtime_error: document vanished\n")},
      {"failed check", fail_a_check,
       ::testing::AllOf(
           StartsWith("internal check failed: 1 + 1 == 3 ("),
           EndsWith("terminal_lifecycle_test.cpp:" + std::to_string(failing_check_line) + ")\n"))},
  };
  for (const Case& fault : cases) {
    SCOPED_TRACE(fault.name);
    // The report is held back: the child blocks on writing it, so what the terminal received
    // by then shows that the restore came first.
    PtyChild child(PtyChildOptions{.hold_error_stream = true}, [&fault] {
      if (!enter_terminal(tui::EscapeOptions{})) {
        return 10;
      }
      fault.fault();
      return 11;
    });
    EXPECT_EQ(child.terminal().read(enter_bytes), enter_bytes);
    EXPECT_EQ(child.terminal().read(restore_bytes), restore_bytes);
    EXPECT_TRUE(same_settings(child.terminal().settings(), child.initial_settings()));
    EXPECT_THAT(child.read_error(), fault.report);
    EXPECT_EQ(child.wait(), exited_with(101));
    EXPECT_EQ(child.terminal().read_rest(), "");
  }
}

TEST(FaultHook, NamesTheExceptionTypeAndReportsAPlainTerminate) {
  struct Case {
    const char* name;
    std::function<void()> fault;
    std::string report;
  };
  const Case cases[] = {
      {"derived exception", [] { throw SampleFault("no such row"); },
       "internal fault: uncaught exception qm::(anonymous namespace)::SampleFault: no such row\n"},
      {"not an exception class", [] { throw 42; }, "internal fault: uncaught exception int\n"},
      {"plain terminate", [] { std::terminate(); }, "internal fault\n"},
  };
  for (const Case& fault : cases) {
    SCOPED_TRACE(fault.name);
    PtyChild child(PtyChildOptions{}, [&fault] {
      if (!install_fault_hook()) {
        return 10;
      }
      fault.fault();
      return 11;
    });
    EXPECT_EQ(child.read_error(), fault.report);
    EXPECT_EQ(child.wait(), exited_with(101));
    // Never entered, so nothing to restore.
    EXPECT_EQ(child.terminal().read_rest(), "");
  }
}

TEST(FaultHook, AFatalSignalRestoresTheTerminalAndStillKillsTheProcess) {
  PtyChild child(PtyChildOptions{}, [] {
    if (!enter_terminal(tui::EscapeOptions{})) {
      return 10;
    }
    // A real fault, not a raised signal: a write to a page that allows no access.
    void* page = ::mmap(nullptr, 4096, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (page == MAP_FAILED) {
      return 11;
    }
    *static_cast<volatile int*>(page) = 1;
    return 12;
  });
  EXPECT_EQ(child.terminal().read(enter_bytes), enter_bytes);
  EXPECT_EQ(child.terminal().read(restore_bytes), restore_bytes);
  EXPECT_EQ(child.wait(), killed_by(SIGSEGV));
  EXPECT_TRUE(same_settings(child.terminal().settings(), child.initial_settings()));
  EXPECT_EQ(child.read_error(), "");
}

}  // namespace
}  // namespace qm
