#include "viewer_process.hpp"

#include <fcntl.h>
#include <fmt/format.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace qm::soak {

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// Enough of the output to hold the restore sequences of the end.
constexpr std::size_t tail_bytes = 4096;

}  // namespace

ViewerProcess::ViewerProcess(const std::string& program, const std::string& session,
                             WindowSize size) {
  winsize window{size.rows, size.columns, 0, 0};
  pid_ = ::forkpty(&master_, nullptr, nullptr, &window);
  if (pid_ < 0) {
    std::perror("soak: forkpty");
    std::exit(2);
  }
  if (pid_ == 0) {
    ::setenv("TERM", "xterm-256color", 1);
    ::execl(program.c_str(), program.c_str(), "--session", session.c_str(),
            static_cast<char*>(nullptr));
    std::_Exit(127);
  }
  ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
}

ViewerProcess::~ViewerProcess() {
  if (running_) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  ::close(master_);
}

bool ViewerProcess::read(std::chrono::milliseconds timeout) {
  pollfd entry{master_, POLLIN, 0};
  if (::poll(&entry, 1, static_cast<int>(timeout.count())) <= 0) {
    return true;
  }
  char buffer[65536];
  while (true) {
    const ssize_t got = ::read(master_, buffer, sizeof buffer);
    if (got > 0) {
      const std::string_view bytes(buffer, static_cast<std::size_t>(got));
      screen_.feed(bytes);
      received_ += bytes.size();
      tail_.append(bytes);
      if (tail_.size() > 2 * tail_bytes) {
        tail_.erase(0, tail_.size() - tail_bytes);
      }
      continue;
    }
    return got < 0 && (errno == EAGAIN || errno == EINTR);
  }
}

void ViewerProcess::type(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t put = ::write(master_, bytes.data(), bytes.size());
    if (put < 0 && errno != EAGAIN && errno != EINTR) {
      return;
    }
    if (put > 0) {
      bytes.remove_prefix(static_cast<std::size_t>(put));
    } else {
      // The viewer is not reading; drain its output so it can.
      read(10ms);
    }
  }
}

void ViewerProcess::resize(WindowSize size) {
  winsize window{size.rows, size.columns, 0, 0};
  ::ioctl(master_, TIOCSWINSZ, &window);
}

std::optional<int> ViewerProcess::wait_exit(std::chrono::seconds limit) {
  const auto until = Clock::now() + limit;
  while (Clock::now() < until) {
    read(50ms);
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      running_ = false;
      read(0ms);
      return WIFEXITED(status) ? std::optional(WEXITSTATUS(status)) : std::nullopt;
    }
  }
  return std::nullopt;
}

namespace {

// A "Name:  N kB" line of the process's status, in KiB; 0 when missing.
long status_kib(pid_t pid, std::string_view field) {
  std::ifstream status(fmt::format("/proc/{}/status", pid));
  std::string line;
  while (std::getline(status, line)) {
    if (line.starts_with(field) && line.size() > field.size() && line[field.size()] == ':') {
      return std::strtol(line.c_str() + field.size() + 1, nullptr, 10);
    }
  }
  return 0;
}

}  // namespace

long ViewerProcess::resident_kib() const {
  return status_kib(pid_, "VmRSS");
}

long ViewerProcess::peak_resident_kib() const {
  return status_kib(pid_, "VmHWM");
}

long ViewerProcess::open_descriptors() const {
  std::error_code error;
  long count = 0;
  for (std::filesystem::directory_iterator entry(fmt::format("/proc/{}/fd", pid_), error), end;
       !error && entry != end; entry.increment(error)) {
    ++count;
  }
  return count;
}

}  // namespace qm::soak
