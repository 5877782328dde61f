#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstring>
#include <string>

#include "tui/event_source.hpp"
#include "tui/posix_backend.hpp"
#include "tui/raw_mode.hpp"
#include "tui/restore.hpp"
#include "tui/sequences.hpp"

namespace tui {
namespace {

using namespace std::chrono_literals;

struct Pty {
  int master = -1;
  int slave = -1;

  Pty() {
    winsize size{24, 80, 0, 0};
    EXPECT_EQ(::openpty(&master, &slave, nullptr, nullptr, &size), 0);
  }
  ~Pty() {
    close_master();
    if (slave >= 0)
      ::close(slave);
  }
  void close_master() {
    if (master >= 0)
      ::close(master);
    master = -1;
  }
  ::termios settings() const {
    ::termios now{};
    EXPECT_EQ(::tcgetattr(slave, &now), 0);
    return now;
  }
  // Everything the other side wrote until `stop` appears, or it closes, or `limit` passes.
  std::string read_output(std::string_view stop = {}, std::chrono::milliseconds limit = 5s) const {
    std::string out;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
      if (!stop.empty() && out.find(stop) != std::string::npos)
        break;
      pollfd ready{master, POLLIN, 0};
      if (::poll(&ready, 1, 50) <= 0)
        continue;
      std::array<char, 512> bytes;
      const ssize_t count = ::read(master, bytes.data(), bytes.size());
      if (count <= 0)
        break;
      out.append(bytes.data(), static_cast<std::size_t>(count));
    }
    return out;
  }
};

KeyEvent key(KeyCode code, char32_t character = 0) {
  KeyEvent event;
  event.code = code;
  event.character = character;
  return event;
}

bool same_settings(const ::termios& a, const ::termios& b) {
  return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag &&
         a.c_lflag == b.c_lflag && std::memcmp(a.c_cc, b.c_cc, sizeof a.c_cc) == 0;
}

bool is_raw(const ::termios& t) {
  return (t.c_lflag & (ECHO | ECHONL | ICANON | ISIG | IEXTEN)) == 0 &&
         (t.c_iflag & (IXON | IXOFF | ICRNL | INLCR | IGNCR | ISTRIP | BRKINT | PARMRK)) == 0 &&
         (t.c_oflag & OPOST) == 0 && (t.c_cflag & CSIZE) == CS8 && t.c_cc[VMIN] == 1 &&
         t.c_cc[VTIME] == 0;
}

// In a forked child: makes the pty's slave the controlling terminal of a new session, with
// `input` as standard input and the slave as standard output.
void become_session_on(const Pty& pty, int input) {
  ::setsid();
  ::ioctl(pty.slave, TIOCSCTTY, 0);
  ::dup2(input, STDIN_FILENO);
  ::dup2(pty.slave, STDOUT_FILENO);
  ::close(pty.master);
}

int exit_status_of(pid_t child) {
  int status = 0;
  EXPECT_EQ(::waitpid(child, &status, 0), child);
  return status;
}

TEST(RawMode, IsSetAndRestoredExactlyAndResizesArriveAsEvents) {
  Pty pty;
  const ::termios before = pty.settings();
  ASSERT_FALSE(is_raw(before));
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    become_session_on(pty, pty.slave);
    ::termios now{};
    if (!enable_raw_mode())
      ::_exit(10);
    ::tcgetattr(STDIN_FILENO, &now);
    if (!is_raw(now))
      ::_exit(11);
    if (pending_restore_steps() != 1)
      ::_exit(12);
    if (!disable_raw_mode())
      ::_exit(13);
    ::tcgetattr(STDIN_FILENO, &now);
    if (!same_settings(now, before))
      ::_exit(14);
    // Enabling again pushes no second step; the restore stack puts the same settings back.
    if (!enable_raw_mode() || !enable_raw_mode() || pending_restore_steps() != 1)
      ::_exit(15);
    restore_terminal_state();
    ::tcgetattr(STDIN_FILENO, &now);
    if (!same_settings(now, before) || pending_restore_steps() != 0)
      ::_exit(16);

    if (!enable_raw_mode())
      ::_exit(17);
    auto source = EventSource::open(STDIN_FILENO);
    if (!source)
      ::_exit(18);
    ::write(STDOUT_FILENO, "ready", 5);
    auto found = source->poll(5s);
    if (!found || !*found)
      ::_exit(19);
    auto event = source->read();
    if (!event || *event != Event(ResizeEvent{Size{100, 40}}))
      ::_exit(20);
    disable_raw_mode();
    ::_exit(0);
  }
  ASSERT_NE(pty.read_output("ready").find("ready"), std::string::npos);
  // The kernel signals the terminal's foreground process group: the child.
  winsize size{40, 100, 0, 0};
  ASSERT_EQ(::ioctl(pty.master, TIOCSWINSZ, &size), 0);
  const int status = exit_status_of(child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_TRUE(same_settings(pty.settings(), before));
}

TEST(RawMode, UsesDevTtyWhenInputIsNotATerminalAndFailsWithoutOne) {
  Pty pty;
  const ::termios before = pty.settings();
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const int null_input = ::open("/dev/null", O_RDONLY);
    become_session_on(pty, null_input);
    const auto terminal = controlling_terminal();
    if (!terminal || *terminal == STDIN_FILENO)
      ::_exit(10);
    if (!enable_raw_mode())
      ::_exit(11);
    ::termios now{};
    ::tcgetattr(pty.slave, &now);
    if (!is_raw(now))
      ::_exit(12);
    const auto size = window_size(*terminal);
    if (!size || *size != Size{80, 24})
      ::_exit(13);
    restore_terminal_state();
    ::_exit(0);
  }
  int status = exit_status_of(child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_TRUE(same_settings(pty.settings(), before));

  const pid_t orphan = ::fork();
  ASSERT_GE(orphan, 0);
  if (orphan == 0) {
    ::setsid();
    const int null_input = ::open("/dev/null", O_RDONLY);
    ::dup2(null_input, STDIN_FILENO);
    const auto enabled = enable_raw_mode();
    if (enabled)
      ::_exit(10);
    if (enabled.error() != std::error_code(ENXIO, std::system_category()))
      ::_exit(11);
    if (pending_restore_steps() != 0)
      ::_exit(12);
    ::_exit(0);
  }
  status = exit_status_of(orphan);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(RestoreStack, FatalSignalRestoresTheTerminalAndStillKillsTheProcess) {
  for (const int signal_number : {SIGSEGV, SIGABRT}) {
    SCOPED_TRACE(signal_number);
    Pty pty;
    const ::termios before = pty.settings();
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      become_session_on(pty, pty.slave);
      discard_restore_steps();
      if (!install_fatal_signal_restore() || !enable_raw_mode())
        ::_exit(10);
      push_restore_write(STDOUT_FILENO, alternate_screen_off);
      push_restore_write(STDOUT_FILENO, mouse_capture_off);
      push_restore_write(STDOUT_FILENO, show_cursor_sequence);
      if (signal_number == SIGABRT) {
        std::abort();
      }
      ::raise(signal_number);
      ::_exit(11);
    }
    const std::string expected = std::string(alternate_screen_off) +
                                 std::string(mouse_capture_off) + std::string(show_cursor_sequence);
    EXPECT_EQ(pty.read_output(expected), expected);
    const int status = exit_status_of(child);
    ASSERT_TRUE(WIFSIGNALED(status)) << status;
    EXPECT_EQ(WTERMSIG(status), signal_number);
    EXPECT_TRUE(same_settings(pty.settings(), before));
  }
}

struct Pipe {
  std::array<int, 2> ends{-1, -1};
  Pipe() { EXPECT_EQ(::pipe2(ends.data(), O_NONBLOCK), 0); }
  ~Pipe() {
    ::close(ends[0]);
    ::close(ends[1]);
  }
  std::string read_all() const {
    std::string out;
    std::array<char, 256> bytes;
    ssize_t count = 0;
    while ((count = ::read(ends[0], bytes.data(), bytes.size())) > 0) {
      out.append(bytes.data(), static_cast<std::size_t>(count));
    }
    return out;
  }
};

TEST(RestoreStack, RunsStepsOnceInTheOrderPushed) {
  discard_restore_steps();
  Pipe pipe;
  Pty pty;
  const ::termios before = pty.settings();
  ::termios raw = before;
  ::cfmakeraw(&raw);
  ASSERT_TRUE(push_restore_settings(pty.slave, before));
  ASSERT_TRUE(push_restore_write(pipe.ends[1], "first"));
  ASSERT_TRUE(push_restore_write(pipe.ends[1], "second"));
  // A step still pending is not added twice.
  ASSERT_TRUE(push_restore_write(pipe.ends[1], "first"));
  EXPECT_EQ(pending_restore_steps(), 3u);
  ASSERT_EQ(::tcsetattr(pty.slave, TCSANOW, &raw), 0);

  restore_terminal_state();
  EXPECT_EQ(pipe.read_all(), "firstsecond");
  EXPECT_TRUE(same_settings(pty.settings(), before));
  EXPECT_EQ(pending_restore_steps(), 0u);
  // A second run does nothing.
  ASSERT_EQ(::tcsetattr(pty.slave, TCSANOW, &raw), 0);
  restore_terminal_state();
  EXPECT_EQ(pipe.read_all(), "");
  EXPECT_TRUE(is_raw(pty.settings()));

  // A failed write skips the writes after it but not the settings.
  ASSERT_TRUE(push_restore_write(-1, "lost"));
  ASSERT_TRUE(push_restore_write(pipe.ends[1], "skipped"));
  ASSERT_TRUE(push_restore_settings(pty.slave, before));
  restore_terminal_state();
  EXPECT_EQ(pipe.read_all(), "");
  EXPECT_TRUE(same_settings(pty.settings(), before));

  // Storage is fixed: too many steps or too many bytes are refused, and nothing is half-added.
  for (std::size_t i = 0; i < restore_step_capacity; ++i) {
    ASSERT_TRUE(push_restore_write(pipe.ends[1], std::to_string(i)));
  }
  const auto full = push_restore_write(pipe.ends[1], "more");
  ASSERT_FALSE(full);
  EXPECT_EQ(full.error(), std::make_error_code(std::errc::no_buffer_space));
  discard_restore_steps();
  const auto too_long =
      push_restore_write(pipe.ends[1], std::string(restore_bytes_capacity + 1, 'x'));
  ASSERT_FALSE(too_long);
  EXPECT_EQ(pending_restore_steps(), 0u);
  restore_terminal_state();
  EXPECT_EQ(pipe.read_all(), "");
}

TEST(EventSource, ReadsKeysResolvesEscapeAndReportsResizesAndHangUps) {
  Pty pty;
  ::termios raw = pty.settings();
  ::cfmakeraw(&raw);
  ASSERT_EQ(::tcsetattr(pty.slave, TCSANOW, &raw), 0);
  struct sigaction before {};
  ::sigaction(SIGWINCH, nullptr, &before);
  {
    auto source = EventSource::open(pty.slave);
    ASSERT_TRUE(source);
    // One source at a time: the resize handler has one pipe.
    const auto second = EventSource::open(pty.slave);
    ASSERT_FALSE(second);
    EXPECT_EQ(second.error(), std::make_error_code(std::errc::device_or_resource_busy));

    auto polled = source->poll(0ms);
    ASSERT_TRUE(polled);
    EXPECT_FALSE(*polled);

    ASSERT_EQ(::write(pty.master, "\x1b[Aq", 4), 4);
    polled = source->poll(2s);
    ASSERT_TRUE(polled && *polled);
    EXPECT_EQ(source->read(), Event(key(KeyCode::up)));
    EXPECT_EQ(source->read(), Event(key(KeyCode::character, U'q')));

    // A lone ESC comes out once the short wait has passed, within one poll.
    ASSERT_EQ(::write(pty.master, "\x1b", 1), 1);
    const auto started = std::chrono::steady_clock::now();
    polled = source->poll(2s);
    ASSERT_TRUE(polled && *polled);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 1s);
    EXPECT_EQ(source->read(), Event(key(KeyCode::escape)));

    winsize size{30, 90, 0, 0};
    ASSERT_EQ(::ioctl(pty.master, TIOCSWINSZ, &size), 0);
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

}  // namespace
}  // namespace tui
