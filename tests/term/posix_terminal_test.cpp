#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "support/event_printing.hpp"
#include "support/key_events.hpp"
#include "support/pty_child.hpp"
#include "term/event_source.hpp"
#include "term/posix_backend.hpp"
#include "term/raw_mode.hpp"
#include "term/restore.hpp"
#include "tui/sequences.hpp"

namespace tui {
namespace {

using namespace std::chrono_literals;
using qm::testing::ChildInput;
using qm::testing::ChildOutput;
using qm::testing::exited_with;
using qm::testing::is_raw;
using qm::testing::key;
using qm::testing::killed_by;
using qm::testing::Pipe;
using qm::testing::PseudoTerminal;
using qm::testing::PtyChild;
using qm::testing::PtyChildOptions;
using qm::testing::same_settings;

::termios settings_of(int fd) {
  ::termios now{};
  ::tcgetattr(fd, &now);
  return now;
}

TEST(RawMode, IsSetAndRestoredExactlyAndResizesArriveAsEvents) {
  PtyChild child(PtyChildOptions{}, [] {
    const ::termios before = settings_of(STDIN_FILENO);
    if (!enable_raw_mode())
      return 10;
    if (!is_raw(settings_of(STDIN_FILENO)))
      return 11;
    if (pending_restore_steps() != 1)
      return 12;
    if (!disable_raw_mode())
      return 13;
    if (!same_settings(settings_of(STDIN_FILENO), before))
      return 14;
    // Enabling again pushes no second step; the restore stack puts the same settings back.
    if (!enable_raw_mode() || !enable_raw_mode() || pending_restore_steps() != 1)
      return 15;
    restore_terminal_state();
    if (!same_settings(settings_of(STDIN_FILENO), before) || pending_restore_steps() != 0)
      return 16;

    if (!enable_raw_mode())
      return 17;
    auto source = EventSource::open(STDIN_FILENO);
    if (!source)
      return 18;
    ::write(STDOUT_FILENO, "ready", 5);
    auto found = source->poll(5s);
    if (!found || !*found)
      return 19;
    auto event = source->read();
    if (!event || *event != Event(ResizeEvent{Size{100, 40}}))
      return 20;
    disable_raw_mode();
    return 0;
  });
  ASSERT_FALSE(is_raw(child.initial_settings()));
  ASSERT_EQ(child.terminal().read("ready"), "ready");
  child.terminal().resize(100, 40);
  EXPECT_EQ(child.wait(), exited_with(0));
  EXPECT_TRUE(same_settings(child.terminal().settings(), child.initial_settings()));
}

TEST(RawMode, UsesDevTtyWhenInputIsNotATerminalAndFailsWithoutOne) {
  PtyChild child(PtyChildOptions{.input = ChildInput::dev_null}, [] {
    const auto terminal = controlling_terminal();
    if (!terminal || *terminal == STDIN_FILENO)
      return 10;
    if (!enable_raw_mode())
      return 11;
    if (!is_raw(settings_of(STDOUT_FILENO)))
      return 12;
    const auto size = window_size(*terminal);
    if (!size || *size != Size{80, 24})
      return 13;
    restore_terminal_state();
    return 0;
  });
  EXPECT_EQ(child.wait(), exited_with(0));
  EXPECT_TRUE(same_settings(child.terminal().settings(), child.initial_settings()));

  // A new session without a controlling terminal.
  const PtyChildOptions no_terminal{
      .controlling_terminal = false, .input = ChildInput::dev_null, .output = ChildOutput::pipe};
  PtyChild orphan(no_terminal, [] {
    const auto enabled = enable_raw_mode();
    if (enabled)
      return 10;
    if (enabled.error() != std::error_code(ENXIO, std::system_category()))
      return 11;
    return pending_restore_steps() == 0 ? 0 : 12;
  });
  EXPECT_EQ(orphan.wait(), exited_with(0));
}

TEST(RestoreStack, FatalSignalRestoresTheTerminalAndStillKillsTheProcess) {
  for (const int signal_number : {SIGSEGV, SIGABRT}) {
    SCOPED_TRACE(signal_number);
    PtyChild child(PtyChildOptions{}, [signal_number] {
      discard_restore_steps();
      if (!install_fatal_signal_restore() || !enable_raw_mode())
        return 10;
      push_restore_write(STDOUT_FILENO, alternate_screen_off);
      push_restore_write(STDOUT_FILENO, mouse_capture_off);
      push_restore_write(STDOUT_FILENO, show_cursor_sequence);
      if (signal_number == SIGABRT) {
        std::abort();
      }
      ::raise(signal_number);
      return 11;
    });
    const std::string expected = std::string(alternate_screen_off) +
                                 std::string(mouse_capture_off) + std::string(show_cursor_sequence);
    EXPECT_EQ(child.terminal().read(expected), expected);
    EXPECT_EQ(child.wait(), killed_by(signal_number));
    EXPECT_TRUE(same_settings(child.terminal().settings(), child.initial_settings()));
  }
}

TEST(RestoreStack, RunsStepsOnceInTheOrderPushed) {
  discard_restore_steps();
  Pipe pipe;
  PseudoTerminal pty;
  const ::termios before = pty.settings();
  ::termios raw = before;
  ::cfmakeraw(&raw);
  ASSERT_TRUE(push_restore_settings(pty.slave(), before));
  ASSERT_TRUE(push_restore_write(pipe.writer(), "first"));
  ASSERT_TRUE(push_restore_write(pipe.writer(), "second"));
  // A step still pending is not added twice.
  ASSERT_TRUE(push_restore_write(pipe.writer(), "first"));
  EXPECT_EQ(pending_restore_steps(), 3u);
  ASSERT_EQ(::tcsetattr(pty.slave(), TCSANOW, &raw), 0);

  restore_terminal_state();
  EXPECT_EQ(pipe.read_available(), "firstsecond");
  EXPECT_TRUE(same_settings(pty.settings(), before));
  EXPECT_EQ(pending_restore_steps(), 0u);
  // A second run does nothing.
  ASSERT_EQ(::tcsetattr(pty.slave(), TCSANOW, &raw), 0);
  restore_terminal_state();
  EXPECT_EQ(pipe.read_available(), "");
  EXPECT_TRUE(is_raw(pty.settings()));

  // A failed write skips the writes after it but not the settings.
  ASSERT_TRUE(push_restore_write(-1, "lost"));
  ASSERT_TRUE(push_restore_write(pipe.writer(), "skipped"));
  ASSERT_TRUE(push_restore_settings(pty.slave(), before));
  restore_terminal_state();
  EXPECT_EQ(pipe.read_available(), "");
  EXPECT_TRUE(same_settings(pty.settings(), before));

  // Storage is fixed: too many steps or too many bytes are refused, and nothing is half-added.
  for (std::size_t i = 0; i < restore_step_capacity; ++i) {
    ASSERT_TRUE(push_restore_write(pipe.writer(), std::to_string(i)));
  }
  const auto full = push_restore_write(pipe.writer(), "more");
  ASSERT_FALSE(full);
  EXPECT_EQ(full.error(), std::make_error_code(std::errc::no_buffer_space));
  discard_restore_steps();
  const auto too_long =
      push_restore_write(pipe.writer(), std::string(restore_bytes_capacity + 1, 'x'));
  ASSERT_FALSE(too_long);
  EXPECT_EQ(pending_restore_steps(), 0u);
  restore_terminal_state();
  EXPECT_EQ(pipe.read_available(), "");
}

TEST(EventSource, ReadsKeysResolvesEscapeAndReportsResizesAndHangUps) {
  PseudoTerminal pty;
  ::termios raw = pty.settings();
  ::cfmakeraw(&raw);
  ASSERT_EQ(::tcsetattr(pty.slave(), TCSANOW, &raw), 0);
  struct sigaction before {};
  ::sigaction(SIGWINCH, nullptr, &before);
  {
    auto source = EventSource::open(pty.slave());
    ASSERT_TRUE(source);
    // One source at a time: the resize handler has one pipe.
    const auto second = EventSource::open(pty.slave());
    ASSERT_FALSE(second);
    EXPECT_EQ(second.error(), std::make_error_code(std::errc::device_or_resource_busy));

    auto polled = source->poll(0ms);
    ASSERT_TRUE(polled);
    EXPECT_FALSE(*polled);

    pty.write("\x1b[Aq");
    polled = source->poll(2s);
    ASSERT_TRUE(polled && *polled);
    EXPECT_EQ(source->read(), Event(key(KeyCode::up)));
    EXPECT_EQ(source->read(), Event(key(U'q')));

    // A lone ESC comes out once the short wait has passed, within one poll.
    pty.write("\x1b");
    const auto started = std::chrono::steady_clock::now();
    polled = source->poll(2s);
    ASSERT_TRUE(polled && *polled);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 1s);
    EXPECT_EQ(source->read(), Event(key(KeyCode::escape)));

    pty.resize(90, 30);
    ::raise(SIGWINCH);
    ::raise(SIGWINCH);
    polled = source->poll(2s);
    ASSERT_TRUE(polled && *polled);
    EXPECT_EQ(source->read(), Event(ResizeEvent{Size{90, 30}}));
    polled = source->poll(0ms);
    ASSERT_TRUE(polled);
    EXPECT_FALSE(*polled) << "two signals before a look make one resize";

    pty.close_master();
    polled = source->poll(2s);
    EXPECT_FALSE(polled.has_value());
  }
  struct sigaction after {};
  ::sigaction(SIGWINCH, nullptr, &after);
  EXPECT_EQ(after.sa_handler, before.sa_handler);
}

TEST(EventSource, AnotherDescriptorEndsTheWaitAfterAnyEventReady) {
  PseudoTerminal pty;
  ::termios raw = pty.settings();
  ::cfmakeraw(&raw);
  ASSERT_EQ(::tcsetattr(pty.slave(), TCSANOW, &raw), 0);
  auto source = EventSource::open(pty.slave());
  ASSERT_TRUE(source);
  Pipe other;
  using Wakeup = EventSource::Wakeup;

  EXPECT_EQ(source->wait(0ms, other.reader()), Wakeup::timeout);
  ASSERT_EQ(::write(other.writer(), "x", 1), 1);
  const auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(source->wait(2s, other.reader()), Wakeup::other);
  EXPECT_LT(std::chrono::steady_clock::now() - started, 1s);
  // Nothing read from it: the caller drains it, so it still ends the next wait.
  EXPECT_EQ(source->wait(2s, other.reader()), Wakeup::other);
  EXPECT_EQ(source->wait(0ms, -1), Wakeup::timeout) << "no other descriptor, nothing to wake";

  pty.write("q");
  pollfd typed{pty.slave(), POLLIN, 0};
  ASSERT_EQ(::poll(&typed, 1, 2000), 1);
  EXPECT_EQ(source->wait(2s, other.reader()), Wakeup::event) << "the key goes first";
  EXPECT_EQ(source->read(), Event(key(U'q')));
  char byte = 0;
  ASSERT_EQ(::read(other.reader(), &byte, 1), 1);
  EXPECT_EQ(source->wait(0ms, other.reader()), Wakeup::timeout);
}

TEST(EventSource, AContinueGoesAheadOfWaitingEventsAndBringsTheSizeThen) {
  PseudoTerminal pty(90, 30);
  ::termios raw = pty.settings();
  ::cfmakeraw(&raw);
  ASSERT_EQ(::tcsetattr(pty.slave(), TCSANOW, &raw), 0);
  struct sigaction before {};
  ::sigaction(SIGCONT, nullptr, &before);
  {
    auto source = EventSource::open(pty.slave());
    ASSERT_TRUE(source);
    pty.write("a");
    const auto polled = source->poll(2s);
    ASSERT_TRUE(polled && *polled);
    ::raise(SIGCONT);
    // Nothing may be drawn for the key before the terminal is set up again.
    EXPECT_EQ(source->read(), Event(ContinuedEvent{}));
    EXPECT_EQ(source->read(), Event(key(U'a')));
    EXPECT_EQ(source->read(), Event(ResizeEvent{Size{90, 30}}));
  }
  struct sigaction after {};
  ::sigaction(SIGCONT, nullptr, &after);
  EXPECT_EQ(after.sa_handler, before.sa_handler);
}

}  // namespace
}  // namespace tui
