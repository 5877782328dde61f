#pragma once

#include <chrono>
#include <deque>
#include <expected>
#include <system_error>

#include "tui/event_decoder.hpp"
#include "tui/events.hpp"

namespace tui {

// Events from a terminal: its input bytes, decoded, window-size changes and continues after a
// stop. While a source is open, the toolkit's own SIGWINCH and SIGCONT handlers feed a pipe that
// the source polls beside the terminal, so a signal wakes a wait at once. A resize becomes a
// ResizeEvent with the new size; a continue becomes a ContinuedEvent ahead of any event already
// waiting, followed by a ResizeEvent with the size then. One source may be open at a time;
// closing it puts the previous SIGWINCH and SIGCONT actions back.
class EventSource {
 public:
  using Clock = EventDecoder::Clock;

  // Reads events from terminal `fd` (which the caller keeps open).
  static std::expected<EventSource, std::error_code> open(int fd);

  EventSource(EventSource&& other) noexcept;
  EventSource& operator=(EventSource&& other) noexcept;
  EventSource(const EventSource&) = delete;
  EventSource& operator=(const EventSource&) = delete;
  ~EventSource();

  // What ended a wait.
  enum class Wakeup { event, other, timeout };

  // Waits up to `timeout` for an event; true when one is ready for `read`. Fails when polling
  // or reading the terminal fails, or the terminal has hung up.
  std::expected<bool, std::error_code> poll(std::chrono::milliseconds timeout);
  // As `poll`, and also ends the wait when `other_fd` (a descriptor the caller owns and reads;
  // -1 for none) is readable or broken. An event ready goes first.
  std::expected<Wakeup, std::error_code> wait(std::chrono::milliseconds timeout, int other_fd);
  // The next event: one that `poll` found, or else the next to arrive, however long that takes.
  std::expected<Event, std::error_code> read();

 private:
  EventSource(int fd, int wake_read, int wake_write);
  void close_all() noexcept;
  std::expected<void, std::error_code> read_terminal(Clock::time_point now);
  std::expected<void, std::error_code> take_wakeups();

  int fd_ = -1;
  int wake_read_ = -1;
  int wake_write_ = -1;
  EventDecoder decoder_;
  std::deque<Event> ready_;
};

}  // namespace tui
