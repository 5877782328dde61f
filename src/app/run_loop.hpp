#pragma once

#include <chrono>
#include <expected>
#include <functional>
#include <optional>
#include <string>

#include "app/folder_notice.hpp"
#include "app/request_writer.hpp"
#include "app/session_file.hpp"
#include "base/error.hpp"
#include "model/app_state.hpp"
#include "tui/events.hpp"

namespace qm {

inline constexpr std::chrono::milliseconds poll_interval{200};
// While End in the launch log waits for its pages, each one a reload apart.
inline constexpr std::chrono::milliseconds page_poll_interval{40};

// What the loop needs of the terminal: drawing a frame of the state and waiting for an event.
// Tests drive the loop through a fake.
class LoopTerminal {
 public:
  virtual ~LoopTerminal() = default;
  virtual std::expected<void, Error> draw(const AppState& state) = 0;
  // The next event, or none when `timeout` passed without one or `wake_descriptor` (-1 for
  // none) became readable first.
  virtual std::expected<std::optional<tui::Event>, Error> wait_event(
      std::chrono::milliseconds timeout, int wake_descriptor) = 0;
  // Sets the terminal up again after the process was stopped and continued; the next frame is
  // drawn whole.
  virtual std::expected<void, Error> resume() = 0;
  // Puts `text` on the terminal's clipboard between frames; a terminal that refuses says nothing.
  virtual void copy_to_clipboard(std::string_view text) = 0;
  // The terminal's size in cells now.
  virtual tui::Size size() = 0;
};

// How handling one event leaves the loop.
struct EventOutcome {
  bool redraw = false;
  bool stop = false;
  // A key went to key dispatch: a key press, or a click that stands for one.
  bool key_handled = false;
};

// Handles one terminal event: keys go to key dispatch (releases are ignored), and so does the
// Enter that a click on the selected list row stands for; other clicks, mouse wheels and
// resizes (which record the new size) are handled here; focus changes and pastes
// change nothing. What it leaves in the outbox waits for `deliver_outbox`.
EventOutcome handle_event(AppState& state, const tui::Event& event);

// Does what the outbox holds, in order: writes each request's line through `requests` (none
// when the viewer has no request channel) and notes the outcome in the status, then puts the
// clipboard text on the terminal's clipboard. The outbox is empty after it.
void deliver_outbox(AppState& state, RequestWriter* requests, LoopTerminal& terminal);

// Watches the session file: a modification time or file different from the reference, or one
// that cannot be read while the reference is known, is a change; so is a notice that a writer
// closed the file. Otherwise the notices only end the loop's wait early, so a notice read after
// its change was already loaded loads nothing twice; without them the wait's timeout polls.
struct SessionWatch {
  std::string path;
  std::optional<ModificationTime> reference;
  SessionLoader loader;
  FolderNotice notice;

  // What ends the loop's wait when the file's folder changes; -1 when nothing does.
  int wake_descriptor() const { return notice.descriptor(); }

  // Reloads the document into the state when the file changed, noting the state's clock as its
  // load time when it loaded, and lets End in the launch log go on; true when the file changed.
  // What that queues waits for `deliver_outbox`.
  bool check(AppState& state);
};

// The viewer's clock; tests pass their own.
using LoopClock = std::function<std::chrono::steady_clock::time_point()>;

// Records the terminal's size, then draws, waits up to 200 ms for an event or a notice of the
// session file (40 ms while End in the launch log awaits a page), handles it, delivers the outbox,
// checks the session file and delivers what the reload queued, until the user quits or drawing,
// waiting or resuming fails. A ContinuedEvent resumes the terminal and redraws; so does a change of
// the document's age as the header shows it. The document in the state counts as loaded when the
// loop starts.
std::expected<void, Error> run_loop(LoopTerminal& terminal, AppState& state, SessionWatch& watch,
                                    RequestWriter* requests,
                                    const LoopClock& clock = std::chrono::steady_clock::now);

}  // namespace qm
