#pragma once

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <string>
#include <string_view>

namespace qm::testing {

using namespace std::chrono_literals;

// Reads a descriptor it does not own, keeping bytes that came past the point asked for.
struct StreamReader {
  int fd = -1;
  std::string pending;

  // The bytes up to and including the first `stop`, or all that came within `limit` or before
  // end of file when it did not come.
  std::string until(std::string_view stop, std::chrono::milliseconds limit = 5s) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (true) {
      if (const auto found = pending.find(stop); !stop.empty() && found != std::string::npos) {
        return take(found + stop.size());
      }
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      if (left <= 0ms || (!read_some(std::min(left, 50ms)) && at_end())) {
        return take(pending.size());
      }
    }
  }
  // Everything that comes until end of file or until nothing more came for `quiet`.
  std::string rest(std::chrono::milliseconds quiet = 200ms) {
    while (read_some(quiet)) {
    }
    return take(pending.size());
  }

 private:
  std::string take(std::size_t count) {
    std::string taken = pending.substr(0, count);
    pending.erase(0, count);
    return taken;
  }
  // Reads what is there within `wait`; false at end of file, an error or silence.
  bool read_some(std::chrono::milliseconds wait) {
    pollfd ready{fd, POLLIN, 0};
    if (fd < 0 || ::poll(&ready, 1, static_cast<int>(wait.count())) <= 0) {
      return false;
    }
    std::array<char, 4096> chunk;
    ssize_t count = 0;
    while ((count = ::read(fd, chunk.data(), chunk.size())) < 0 && errno == EINTR) {
    }
    if (count <= 0) {
      return false;
    }
    pending.append(chunk.data(), static_cast<std::size_t>(count));
    return true;
  }
  // True when `fd` has hung up or is closed (a pipe whose writers are gone).
  bool at_end() const {
    pollfd ready{fd, POLLIN, 0};
    return fd < 0 || (::poll(&ready, 1, 0) > 0 && (ready.revents & POLLIN) == 0);
  }
};

// Both ends of a pipe, closed at the end.
class Pipe {
 public:
  Pipe() {
    if (::pipe(ends_.data()) != 0) {
      std::abort();
    }
  }
  ~Pipe() {
    close_writer();
    ::close(ends_[0]);
  }
  Pipe(const Pipe&) = delete;
  Pipe& operator=(const Pipe&) = delete;

  int reader() const { return ends_[0]; }
  int writer() const { return ends_[1]; }
  void close_writer() {
    if (ends_[1] >= 0) {
      ::close(ends_[1]);
    }
    ends_[1] = -1;
  }
  // Writes `bytes` (at most the pipe's capacity) and closes the writing end, as a finished
  // writer does.
  void write_and_close(std::string_view bytes) {
    if (::write(ends_[1], bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
      std::abort();
    }
    close_writer();
  }
  // Whatever can be read now, without waiting for more.
  std::string read_available() { return StreamReader{ends_[0], {}}.rest(0ms); }

 private:
  std::array<int, 2> ends_{-1, -1};
};

}  // namespace qm::testing
