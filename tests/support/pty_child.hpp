#pragma once

#include <fcntl.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

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
#include <utility>

#include "support/pipe.hpp"

namespace qm::testing {

// A fresh pseudo-terminal. This side holds both ends: the master, to type on the terminal and
// read what it was sent, and the slave, whose settings the code under test changes.
class PseudoTerminal {
 public:
  explicit PseudoTerminal(unsigned short columns = 80, unsigned short rows = 24) {
    winsize size{rows, columns, 0, 0};
    if (::openpty(&master_.fd, &slave_, nullptr, nullptr, &size) != 0) {
      std::abort();
    }
  }
  ~PseudoTerminal() {
    close_master();
    ::close(slave_);
  }
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  int master() const { return master_.fd; }
  int slave() const { return slave_; }
  // Hangs the terminal up.
  void close_master() {
    if (master_.fd >= 0) {
      ::close(master_.fd);
    }
    master_.fd = -1;
  }
  ::termios settings() const {
    ::termios now{};
    ::tcgetattr(slave_, &now);
    return now;
  }
  // The terminal's bytes up to and including the first `stop` (see StreamReader).
  std::string read(std::string_view stop, std::chrono::milliseconds limit = 5s) {
    return master_.until(stop, limit);
  }
  // Whatever the terminal received until nothing more came for `quiet`.
  std::string read_rest(std::chrono::milliseconds quiet = 200ms) { return master_.rest(quiet); }
  // Types `bytes` on the terminal.
  void write(std::string_view bytes) {
    if (::write(master_.fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
      std::abort();
    }
  }
  // Changes the window size; the kernel signals the terminal's foreground process group.
  void resize(unsigned short columns, unsigned short rows) {
    winsize size{rows, columns, 0, 0};
    ::ioctl(master_.fd, TIOCSWINSZ, &size);
  }

 private:
  StreamReader master_;
  int slave_ = -1;
};

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
  // True: the child stands in for a job-control shell and runs `body` as a job, in a process of
  // its own whose new process group is the terminal's foreground group; the child ends as the
  // job ended. Unlike the group of a session leader, a job's group has a parent in the session,
  // so SIGTSTP stops it.
  bool job = false;
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
  *out << (exit.signal != 0 ? "killed by signal " : "exit status ")
       << (exit.signal != 0 ? exit.signal : exit.status);
}

inline ChildExit exited_with(int status) {
  return ChildExit{status, 0};
}
inline ChildExit killed_by(int signal) {
  return ChildExit{-1, signal};
}

// A forked child in a new session whose controlling terminal is a fresh pseudo-terminal (unless
// the options say otherwise). The child runs `body` and exits with its result; an exception
// escaping `body` reaches std::terminate, as it would in main. Standard error always goes to a
// pipe read by read_error().
class PtyChild {
 public:
  PtyChild(PtyChildOptions options, std::function<int()> body)
      : terminal_(options.columns, options.rows), initial_settings_(terminal_.settings()) {
    std::array<int, 2> output{-1, -1};
    if (options.output == ChildOutput::pipe || options.output == ChildOutput::closed_pipe) {
      make_pipe(output);
      if (options.output == ChildOutput::closed_pipe) {
        ::close(std::exchange(output[0], -1));
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
      if (options.job) {
        run_job(body);
      }
      run(body);
    }
    for (const int fd : {error[1], output[1], input[0]}) {
      if (fd >= 0) {
        ::close(fd);
      }
    }
    error_.fd = error[0];
    output_.fd = output[0];
    input_ = input[1];
  }

  PtyChild(const PtyChild&) = delete;
  PtyChild& operator=(const PtyChild&) = delete;

  ~PtyChild() {
    if (pid_ > 0 && !exit_) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    for (const int fd : {output_.fd, input_, error_.fd}) {
      if (fd >= 0) {
        ::close(fd);
      }
    }
  }

  PseudoTerminal& terminal() { return terminal_; }
  // The terminal's settings before the child started.
  const ::termios& initial_settings() const { return initial_settings_; }

  // What the child wrote to a standard output of ChildOutput::pipe (see StreamReader).
  std::string read_output(std::string_view stop, std::chrono::milliseconds limit = 5s) {
    return output_.until(stop, limit);
  }
  std::string read_output_rest(std::chrono::milliseconds quiet = 200ms) {
    return output_.rest(quiet);
  }
  // Closes the reading end of the output pipe: the child's next write fails.
  void close_output() { ::close(std::exchange(output_.fd, -1)); }

  // Everything the child wrote to standard error, read until every writer has closed it (so
  // normally until the child has ended) or nothing came for `limit`; releases a held stream.
  std::string read_error(std::chrono::milliseconds limit = 10s) {
    const std::string bytes = error_.rest(limit);
    return bytes.substr(std::min(std::exchange(error_filler_, 0), bytes.size()));
  }

  // Sends `signal_number` to the terminal's foreground process group: the job, or else the child.
  void signal_foreground(int signal_number) {
    const pid_t group = ::tcgetpgrp(terminal_.master());
    if (group <= 0 || ::kill(-group, signal_number) != 0) {
      std::abort();
    }
  }
  // Waits until the foreground process group's leader is stopped; false after `limit`.
  bool wait_stopped(std::chrono::milliseconds limit = 5s) {
    const std::string path = "/proc/" + std::to_string(::tcgetpgrp(terminal_.master())) + "/stat";
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
      // The state follows the parenthesised command name: "pid (name) T ...".
      std::FILE* stat = std::fopen(path.c_str(), "r");
      std::array<char, 512> line{};
      const bool read = stat != nullptr && std::fgets(line.data(), line.size(), stat) != nullptr;
      if (stat != nullptr) {
        std::fclose(stat);
      }
      const char* name_end = read ? std::strrchr(line.data(), ')') : nullptr;
      if (name_end != nullptr && name_end[1] == ' ' && name_end[2] == 'T') {
        return true;
      }
      ::usleep(10'000);
    }
    return false;
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

 private:
  static void make_pipe(std::array<int, 2>& ends) {
    if (::pipe(ends.data()) != 0) {
      std::abort();
    }
  }

  // Fills the pipe that `fd` writes to; returns how many bytes that took.
  static std::size_t fill(int fd) {
    const int flags = ::fcntl(fd, F_GETFL);
    ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    std::size_t filled = 0;
    const std::array<char, 4096> filler{};
    for (ssize_t count = 0; (count = ::write(fd, filler.data(), filler.size())) > 0;) {
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
    const int slave = terminal_.slave();
    ::setsid();
    if (options.controlling_terminal) {
      ::ioctl(slave, TIOCSCTTY, 0);
    }
    int in = slave;
    if (options.input == ChildInput::dev_null) {
      in = ::open("/dev/null", O_RDONLY);
    } else if (options.input == ChildInput::pipe) {
      in = input[0];
    }
    int out = slave;
    if (options.output == ChildOutput::dev_full) {
      out = ::open("/dev/full", O_WRONLY);
    } else if (options.output != ChildOutput::terminal) {
      out = output[1];
    }
    ::dup2(in, STDIN_FILENO);
    ::dup2(out, STDOUT_FILENO);
    ::dup2(error[1], STDERR_FILENO);
    for (const int fd : {terminal_.master(), slave, in, out, input[0], input[1], output[0],
                         output[1], error[0], error[1]}) {
      if (fd > STDERR_FILENO) {
        ::close(fd);
      }
    }
  }

  [[noreturn]] static void run(const std::function<int()>& body) noexcept { ::_exit(body()); }

  // As a shell starts a foreground job: its own process group, handed the terminal.
  [[noreturn]] static void run_job(const std::function<int()>& body) noexcept {
    const pid_t job = ::fork();
    if (job < 0) {
      ::_exit(125);
    }
    if (job == 0) {
      ::setpgid(0, 0);
      // A background group taking the terminal would be stopped by SIGTTOU.
      ::signal(SIGTTOU, SIG_IGN);
      const int tty = ::open("/dev/tty", O_RDWR | O_CLOEXEC);
      if (tty < 0 || ::tcsetpgrp(tty, ::getpgrp()) != 0) {
        ::_exit(126);
      }
      ::close(tty);
      ::signal(SIGTTOU, SIG_DFL);
      run(body);
    }
    int status = 0;
    while (::waitpid(job, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFSIGNALED(status)) {
      // Ends the same way, without a core file of its own.
      const rlimit no_core{0, 0};
      ::setrlimit(RLIMIT_CORE, &no_core);
      ::signal(WTERMSIG(status), SIG_DFL);
      ::raise(WTERMSIG(status));
    }
    ::_exit(WIFEXITED(status) ? WEXITSTATUS(status) : 125);
  }

  PseudoTerminal terminal_;
  ::termios initial_settings_{};
  StreamReader output_;
  StreamReader error_;
  int input_ = -1;
  pid_t pid_ = -1;
  std::size_t error_filler_ = 0;
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
