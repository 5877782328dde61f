#include "term/event_source.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <string_view>
#include <utility>

#include "term/posix_backend.hpp"

namespace tui {
namespace {

// The write end of the open source's pipe, read by the signal handlers. A byte tells what woke it.
std::atomic<int> wake_pipe{-1};
constexpr char resized_byte = 'w';
constexpr char continued_byte = 'c';
struct sigaction previous_resize_action {};
struct sigaction previous_continue_action {};

std::error_code last_error() {
  return std::error_code(errno, std::system_category());
}

void wake(char byte) {
  const int saved_errno = errno;
  const int fd = wake_pipe.load();
  if (fd >= 0) {
    // A full pipe already holds wake-ups enough; nothing is lost in practice.
    [[maybe_unused]] const ssize_t ignored = ::write(fd, &byte, 1);
  }
  errno = saved_errno;
}

extern "C" void note_resize(int) {
  wake(resized_byte);
}

extern "C" void note_continue(int) {
  wake(continued_byte);
}

}  // namespace

std::expected<EventSource, std::error_code> EventSource::open(int fd) {
  if (wake_pipe.load() >= 0) {
    return std::unexpected(std::make_error_code(std::errc::device_or_resource_busy));
  }
  std::array<int, 2> ends{};
  if (::pipe2(ends.data(), O_NONBLOCK | O_CLOEXEC) != 0) {
    return std::unexpected(last_error());
  }
  wake_pipe.store(ends[1]);
  struct sigaction action {};
  action.sa_handler = note_resize;
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  struct sigaction continue_action = action;
  continue_action.sa_handler = note_continue;
  if (::sigaction(SIGWINCH, &action, &previous_resize_action) != 0 ||
      ::sigaction(SIGCONT, &continue_action, &previous_continue_action) != 0) {
    const std::error_code error = last_error();
    ::sigaction(SIGWINCH, &previous_resize_action, nullptr);
    wake_pipe.store(-1);
    ::close(ends[0]);
    ::close(ends[1]);
    return std::unexpected(error);
  }
  return EventSource(fd, ends[0], ends[1]);
}

EventSource::EventSource(int fd, int wake_read, int wake_write)
    : fd_(fd), wake_read_(wake_read), wake_write_(wake_write) {}

EventSource::EventSource(EventSource&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      wake_read_(std::exchange(other.wake_read_, -1)),
      wake_write_(std::exchange(other.wake_write_, -1)),
      decoder_(std::move(other.decoder_)),
      ready_(std::move(other.ready_)) {}

EventSource& EventSource::operator=(EventSource&& other) noexcept {
  if (this != &other) {
    close_all();
    fd_ = std::exchange(other.fd_, -1);
    wake_read_ = std::exchange(other.wake_read_, -1);
    wake_write_ = std::exchange(other.wake_write_, -1);
    decoder_ = std::move(other.decoder_);
    ready_ = std::move(other.ready_);
  }
  return *this;
}

EventSource::~EventSource() {
  close_all();
}

void EventSource::close_all() noexcept {
  if (wake_write_ < 0) {
    return;
  }
  ::sigaction(SIGCONT, &previous_continue_action, nullptr);
  ::sigaction(SIGWINCH, &previous_resize_action, nullptr);
  wake_pipe.store(-1);
  ::close(wake_read_);
  ::close(wake_write_);
  wake_read_ = -1;
  wake_write_ = -1;
  fd_ = -1;
}

std::expected<void, std::error_code> EventSource::read_terminal(Clock::time_point now) {
  std::array<char, 4096> bytes;
  while (true) {
    const ssize_t count = ::read(fd_, bytes.data(), bytes.size());
    if (count > 0) {
      decoder_.feed(std::string_view(bytes.data(), static_cast<std::size_t>(count)), now);
      return {};
    }
    if (count == 0) {
      return std::unexpected(std::make_error_code(std::errc::io_error));
    }
    if (errno == EINTR) {
      continue;
    }
    if (errno == EAGAIN || errno == EWOULDBLOCK) {
      return {};
    }
    return std::unexpected(last_error());
  }
}

std::expected<void, std::error_code> EventSource::take_wakeups() {
  // Several signals since the last look make one event of each kind.
  bool resized = false;
  bool continued = false;
  std::array<char, 64> drained;
  ssize_t count = 0;
  while ((count = ::read(wake_read_, drained.data(), drained.size())) > 0) {
    const std::string_view bytes(drained.data(), static_cast<std::size_t>(count));
    resized = resized || bytes.contains(resized_byte);
    continued = continued || bytes.contains(continued_byte);
  }
  if (continued) {
    // Ahead of events already read: nothing is drawn before the terminal is set up again.
    ready_.emplace_front(std::in_place_type<ContinuedEvent>);
    // A resize while stopped was signalled to the shell in the foreground, not here.
    resized = true;
  }
  if (!resized) {
    return {};
  }
  const auto size = window_size(fd_);
  if (!size) {
    return std::unexpected(size.error());
  }
  ready_.emplace_back(std::in_place_type<ResizeEvent>, *size);
  return {};
}

std::expected<bool, std::error_code> EventSource::poll(std::chrono::milliseconds timeout) {
  const auto woken = wait(timeout, -1);
  if (!woken) {
    return std::unexpected(woken.error());
  }
  return *woken == Wakeup::event;
}

std::expected<EventSource::Wakeup, std::error_code> EventSource::wait(
    std::chrono::milliseconds timeout, int other_fd) {
  if (!ready_.empty()) {
    // A continue found now still goes ahead of the events waiting.
    if (auto taken = take_wakeups(); !taken) {
      return std::unexpected(taken.error());
    }
    return Wakeup::event;
  }
  const Clock::time_point deadline = Clock::now() + timeout;
  bool polled = false;
  bool other_ready = false;
  while (true) {
    const Clock::time_point now = Clock::now();
    if (auto event = decoder_.next(now)) {
      ready_.push_back(std::move(*event));
      return Wakeup::event;
    }
    if (other_ready) {
      return Wakeup::other;
    }
    if (polled && now >= deadline) {
      return Wakeup::timeout;
    }
    Clock::duration wait = std::max(deadline - now, Clock::duration::zero());
    if (const auto resolved = decoder_.time_until_resolved(now)) {
      wait = std::min(wait, *resolved);
    }
    const auto milliseconds = std::chrono::ceil<std::chrono::milliseconds>(wait).count();
    // poll() skips a negative descriptor.
    std::array<pollfd, 3> watched{pollfd{fd_, POLLIN, 0}, pollfd{wake_read_, POLLIN, 0},
                                  pollfd{other_fd, POLLIN, 0}};
    const int ready_count = ::poll(watched.data(), watched.size(),
                                   static_cast<int>(std::min<long long>(milliseconds, INT_MAX)));
    polled = true;
    if (ready_count < 0) {
      if (errno == EINTR) {
        continue;
      }
      return std::unexpected(last_error());
    }
    if ((watched[1].revents & POLLIN) != 0) {
      if (auto taken = take_wakeups(); !taken) {
        return std::unexpected(taken.error());
      }
    }
    if ((watched[0].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
      if (auto taken = read_terminal(Clock::now()); !taken) {
        return std::unexpected(taken.error());
      }
    }
    if ((watched[0].revents & POLLNVAL) != 0) {
      return std::unexpected(std::make_error_code(std::errc::bad_file_descriptor));
    }
    if (!ready_.empty()) {
      return Wakeup::event;
    }
    // Bytes just read from the terminal are decoded first.
    other_ready = (watched[2].revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL)) != 0;
  }
}

std::expected<Event, std::error_code> EventSource::read() {
  // Polled even with an event waiting, so a continue found now goes first.
  do {
    const auto found = poll(std::chrono::hours(1));
    if (!found) {
      return std::unexpected(found.error());
    }
  } while (ready_.empty());
  Event event = std::move(ready_.front());
  ready_.pop_front();
  return event;
}

}  // namespace tui
