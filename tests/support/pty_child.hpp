#pragma once

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace qm::testing {

using namespace std::chrono_literals;

// Where the child's standard input comes from.
enum class ChildInput { terminal, dev_null, pipe };
// Where the child's standard output goes. `pipe` is read with PtyChild::read_output;
// `closed_pipe` has no reader, so writes fail with EPIPE (or raise SIGPIPE); `dev_full` fails
// every write with ENOSPC.
enum class ChildOutput { terminal, pipe, closed_pipe, dev_full };

struct PtyChildOptions {
  // False: the child starts a new session without any controlling terminal.
  bool controlling_terminal = true;
  ChildInput input = ChildInput::terminal;
  ChildOutput output = ChildOutput::terminal;
  // True: the error pipe is filled before the child starts, so the child's first write to
  // standard error blocks until read_error() is called. Shows what the child did before it.
  bool hold_error_stream = false;
  unsigned short columns = 80;
  unsigned short rows = 24;
};

// How the child ended.
struct ChildExit {
  int status = -1;  // the exit status, or -1 when a signal ended it
  int signal = 0;   // the signal that ended it, or 0

  bool operator==(const ChildExit&) const = default;
};

inline void PrintTo(const ChildExit& exit, std::ostream* out) {
  if (exit.signal != 0) {
    *out << "killed by signal " << exit.signal;
  } else {
    *out << "exit status " << exit.status;
  }
}

inline ChildExit exited_with(int status) {
  return ChildExit{status, 0};
}
inline ChildExit killed_by(int signal) {
  return ChildExit{-1, signal};
}

// A forked child whose controlling terminal is a fresh pseudo-terminal (unless the options say
// otherwise); this side holds the terminal's master and both ends of the terminal's settings.
// The child runs `body` and exits with its result. An exception escaping `body` reaches
// std::terminate, as it would in main. Standard error always goes to a pipe read by
// read_error().
class PtyChild {
 public:
  PtyChild(PtyChildOptions options, std::function<int()> body) {
    winsize size{options.rows, options.columns, 0, 0};
    if (::openpty(&master_, &slave_, nullptr, nullptr, &size) != 0) {
      std::abort();
    }
    ::tcgetattr(slave_, &initial_settings_);
    std::array<int, 2> output{-1, -1};
    if (options.output == ChildOutput::pipe || options.output == ChildOutput::closed_pipe) {
      make_pipe(output);
      if (options.output == ChildOutput::closed_pipe) {
        ::close(output[0]);
        output[0] = -1;
      }
    }
    std::array<int, 2> input{-1, -1};
    if (options.input == ChildInput::pipe) {
      make_pipe(input);
    }
    std::array<int, 2> error{-1, -1};
    make_pipe(error);
    if (options.hold_error_stream) {
      error_filler_ = fill(error[1]);
    }
    // Nothing this process has buffered may come out of the child.
    std::fflush(stdout);
    std::fflush(stderr);
    pid_ = ::fork();
    if (pid_ < 0) {
      std::abort();
    }
    if (pid_ == 0) {
      become_child(options, input, output, error);
      run(body);
    }
    ::close(error[1]);
    error_ = error[0];
    if (output[1] >= 0) {
      ::close(output[1]);
    }
    output_ = output[0];
    if (input[0] >= 0) {
      ::close(input[0]);
    }
    input_ = input[1];
  }

  PtyChild(const PtyChild&) = delete;
  PtyChild& operator=(const PtyChild&) = delete;

  ~PtyChild() {
    if (pid_ > 0 && !exit_) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    for (const int fd : {master_, slave_, output_, input_, error_}) {
      if (fd >= 0) {
        ::close(fd);
      }
    }
  }

  // The terminal's bytes up to and including the first `stop`, or all that arrived within
  // `limit` when it did not come. Later bytes are kept for the next read.
  std::string read_terminal(std::string_view stop, std::chrono::milliseconds limit = 5s) {
    return read_until(master_, terminal_bytes_, stop, limit);
  }
  // Whatever the terminal received until nothing more came for `quiet`.
  std::string read_terminal_rest(std::chrono::milliseconds quiet = 200ms) {
    return read_quiet(master_, terminal_bytes_, quiet);
  }
  // The same for a standard output of ChildOutput::pipe; at end of file the read stops too.
  std::string read_output(std::string_view stop, std::chrono::milliseconds limit = 5s) {
    return read_until(output_, output_bytes_, stop, limit);
  }
  std::string read_output_rest(std::chrono::milliseconds quiet = 200ms) {
    return read_quiet(output_, output_bytes_, quiet);
  }
  // Closes the reading end of the output pipe: the child's next write fails.
  void close_output() {
    ::close(output_);
    output_ = -1;
  }
  // Types `bytes` on the terminal.
  void write_terminal(std::string_view bytes) {
    if (::write(master_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
      std::abort();
    }
  }
  void resize(unsigned short columns, unsigned short rows) {
    winsize size{rows, columns, 0, 0};
    ::ioctl(master_, TIOCSWINSZ, &size);
  }

  // Everything the child wrote to standard error, read until every writer has closed it (so
  // normally until the child has ended) or nothing came for `limit`; releases a held stream.
  std::string read_error(std::chrono::milliseconds limit = 10s) {
    std::string bytes;
    std::array<char, 4096> chunk;
    while (true) {
      pollfd ready{error_, POLLIN, 0};
      if (::poll(&ready, 1, static_cast<int>(limit.count())) <= 0) {
        break;
      }
      const ssize_t count = ::read(error_, chunk.data(), chunk.size());
      if (count < 0 && errno == EINTR) {
        continue;
      }
      if (count <= 0) {
        break;
      }
      bytes.append(chunk.data(), static_cast<std::size_t>(count));
    }
    return bytes.substr(std::min(error_filler_, bytes.size()));
  }

  ChildExit wait() {
    if (!exit_) {
      int status = 0;
      while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
      }
      exit_ = WIFEXITED(status) ? exited_with(WEXITSTATUS(status))
                                : killed_by(WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    }
    return *exit_;
  }

  // The settings of the pseudo-terminal before the child started, and now.
  const ::termios& initial_settings() const { return initial_settings_; }
  ::termios settings() const {
    ::termios now{};
    ::tcgetattr(slave_, &now);
    return now;
  }
  int terminal_slave() const { return slave_; }

 private:
  static void make_pipe(std::array<int, 2>& ends) {
    if (::pipe(ends.data()) != 0) {
      std::abort();
    }
  }

  static std::size_t fill(int fd) {
    const int flags = ::fcntl(fd, F_GETFL);
    ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    std::size_t filled = 0;
    const std::array<char, 4096> filler{};
    while (true) {
      const ssize_t count = ::write(fd, filler.data(), filler.size());
      if (count <= 0) {
        break;
      }
      filled += static_cast<std::size_t>(count);
    }
    // A pipe nearly full still takes one byte at a time.
    while (::write(fd, filler.data(), 1) == 1) {
      ++filled;
    }
    ::fcntl(fd, F_SETFL, flags);
    return filled;
  }

  void become_child(const PtyChildOptions& options, const std::array<int, 2>& input,
                    const std::array<int, 2>& output, const std::array<int, 2>& error) {
    ::setsid();
    if (options.controlling_terminal) {
      ::ioctl(slave_, TIOCSCTTY, 0);
    }
    int in = slave_;
    if (options.input == ChildInput::dev_null) {
      in = ::open("/dev/null", O_RDONLY);
    } else if (options.input == ChildInput::pipe) {
      in = input[0];
    }
    int out = slave_;
    if (options.output == ChildOutput::dev_full) {
      out = ::open("/dev/full", O_WRONLY);
    } else if (options.output != ChildOutput::terminal) {
      out = output[1];
    }
    ::dup2(in, STDIN_FILENO);
    ::dup2(out, STDOUT_FILENO);
    ::dup2(error[1], STDERR_FILENO);
    for (const int fd :
         {master_, slave_, in, out, input[0], input[1], output[0], output[1], error[0], error[1]}) {
      if (fd > STDERR_FILENO) {
        ::close(fd);
      }
    }
  }

  [[noreturn]] static void run(const std::function<int()>& body) noexcept { ::_exit(body()); }

  static std::string take(std::string& pending, std::size_t count) {
    std::string taken = pending.substr(0, count);
    pending.erase(0, count);
    return taken;
  }

  // Reads what is there within `wait`; false at end of file, an error or silence.
  static bool read_some(int fd, std::string& pending, std::chrono::milliseconds wait) {
    pollfd ready{fd, POLLIN, 0};
    if (fd < 0 || ::poll(&ready, 1, static_cast<int>(wait.count())) <= 0) {
      return false;
    }
    std::array<char, 4096> chunk;
    const ssize_t count = ::read(fd, chunk.data(), chunk.size());
    if (count <= 0) {
      return false;
    }
    pending.append(chunk.data(), static_cast<std::size_t>(count));
    return true;
  }

  static std::string read_until(int fd, std::string& pending, std::string_view stop,
                                std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (true) {
      if (const auto found = pending.find(stop); !stop.empty() && found != std::string::npos) {
        return take(pending, found + stop.size());
      }
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      if (left <= 0ms || (!read_some(fd, pending, std::min(left, 50ms)) && at_end(fd))) {
        return take(pending, pending.size());
      }
    }
  }

  static std::string read_quiet(int fd, std::string& pending, std::chrono::milliseconds quiet) {
    while (read_some(fd, pending, quiet)) {
    }
    return take(pending, pending.size());
  }

  // True when `fd` has hung up or is closed (a pipe whose writers are gone).
  static bool at_end(int fd) {
    pollfd ready{fd, POLLIN, 0};
    return fd < 0 || (::poll(&ready, 1, 0) > 0 && (ready.revents & POLLIN) == 0);
  }

  int master_ = -1;
  int slave_ = -1;
  int output_ = -1;
  int input_ = -1;
  int error_ = -1;
  pid_t pid_ = -1;
  std::size_t error_filler_ = 0;
  ::termios initial_settings_{};
  std::string terminal_bytes_;
  std::string output_bytes_;
  std::optional<ChildExit> exit_;
};

// True when two terminal settings are the same in every field the terminal acts on.
inline bool same_settings(const ::termios& a, const ::termios& b) {
  return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag &&
         a.c_lflag == b.c_lflag && std::memcmp(a.c_cc, b.c_cc, sizeof a.c_cc) == 0 &&
         ::cfgetispeed(&a) == ::cfgetispeed(&b) && ::cfgetospeed(&a) == ::cfgetospeed(&b);
}

// True for the raw mode the toolkit sets: no echo, no line editing, no signal keys, no flow
// control, no input translation, no output processing, reads returning after one byte.
inline bool is_raw(const ::termios& t) {
  return (t.c_lflag & (ECHO | ECHONL | ICANON | ISIG | IEXTEN)) == 0 &&
         (t.c_iflag & (IXON | IXOFF | ICRNL | INLCR | IGNCR | ISTRIP | BRKINT | PARMRK)) == 0 &&
         (t.c_oflag & OPOST) == 0 && (t.c_cflag & CSIZE) == CS8 && t.c_cc[VMIN] == 1 &&
         t.c_cc[VTIME] == 0;
}

}  // namespace qm::testing
