#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "tui/events.hpp"

namespace tui {

// Turns the bytes a terminal sends into events. It does no I/O and reads no clock: the caller
// passes the time bytes arrived and the time it asks for events, so a lone ESC is told from the
// start of a sequence the same way every time.
//
// Understood: UTF-8 characters; control keys (Ctrl+letter as the letter with `control`, Enter as
// CR or LF, Tab, Backspace as DEL or BS); ESC before a key as Alt; cursor, editing and function
// keys in their CSI, SS3 and Linux console forms with xterm modifier parameters; keys of the
// CSI u keyboard protocol (with repeat and release); SGR, urxvt and X10 mouse reports; focus in
// and out; bracketed paste. Unknown or malformed sequences and invalid UTF-8 yield nothing.
class EventDecoder {
 public:
  using Clock = std::chrono::steady_clock;

  // How long bytes that may begin a longer sequence wait for the rest of it.
  static constexpr std::chrono::milliseconds escape_wait{50};
  // How long an unfinished paste waits for more bytes before it is handed over as it stands.
  static constexpr std::chrono::milliseconds paste_wait{1000};

  // Takes bytes read from the terminal at `now`.
  void feed(std::string_view bytes, Clock::time_point now);

  // The next event the bytes so far make, or none. Bytes that may still begin a longer sequence
  // wait until escape_wait has passed since the last feed; then they are read as they stand (a
  // lone ESC becomes the Esc key, an unfinished sequence is dropped). Always consumes what it
  // reads, so repeated calls make progress.
  std::optional<Event> next(Clock::time_point now);

  // How long after `now` waiting bytes are resolved by time alone; none when nothing waits.
  std::optional<Clock::duration> time_until_resolved(Clock::time_point now) const;

  bool has_pending_bytes() const { return start_ < pending_.size() || in_paste_; }

 private:
  std::optional<Event> next_paste(Clock::time_point now);

  std::string pending_;
  std::size_t start_ = 0;
  Clock::time_point last_input_{};
  bool in_paste_ = false;
  std::string paste_;
};

}  // namespace tui
