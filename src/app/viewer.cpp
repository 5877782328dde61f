#include <cerrno>
#include <new>
#include <utility>

#include "app/entry.hpp"
#include "app/initial_state.hpp"
#include "app/request_file.hpp"
#include "app/run_loop.hpp"
#include "app/terminal_lifecycle.hpp"
#include "tui/osc52.hpp"
#include "tui/restore.hpp"
#include "ui/frame.hpp"
#include "ui/text/styles.hpp"

namespace qm {

namespace {

// The loop's terminal: frames drawn through the toolkit, events from the controlling terminal.
class SessionTerminal final : public LoopTerminal {
 public:
  explicit SessionTerminal(TerminalSession& session) : session_(session) {}

  std::expected<void, Error> draw(AppState& state) override {
    // A frame goes out whole: a signal that restores the terminal waits for its end, so the
    // restore never lands inside the frame's sequences and no rest of a frame follows it.
    const tui::HeldSignalsBlocked blocked;
    if (state.clipboard) {
      // A terminal that refuses the request says nothing; the status row shows the command.
      static_cast<void>(
          session_.terminal.write_between_frames(tui::clipboard_sequence(*state.clipboard)));
      state.clipboard.reset();
    }
    auto drawn = session_.terminal.draw([&](tui::Frame& frame) {
      record_frame_size(state, frame.area());
      draw_frame(frame, state);
    });
    if (!drawn) {
      return std::unexpected(Error::os(drawn.error()));
    }
    return {};
  }

  std::expected<std::optional<tui::Event>, Error> wait_event(
      std::chrono::milliseconds timeout) override {
    auto ready = session_.events.poll(timeout);
    if (!ready) {
      return std::unexpected(Error::os(ready.error()));
    }
    if (!*ready) {
      return std::optional<tui::Event>();
    }
    auto event = session_.events.read();
    if (!event) {
      return std::unexpected(Error::os(event.error()));
    }
    return std::optional<tui::Event>(std::move(*event));
  }

  std::expected<void, Error> resume() override { return resume_terminal(session_); }

 private:
  TerminalSession& session_;
};

}  // namespace

std::expected<int, Error> run_viewer(ViewerStart start) {
  std::shared_ptr<RequestWriter> requests;
  if (start.requests_path) {
    requests = std::make_shared<RequestFile>(std::move(*start.requests_path));
  }
  AppState state;
  try {
    state = build_initial_state(std::move(start.document), std::move(requests), start.truecolour);
  } catch (const std::bad_alloc&) {
    return std::unexpected(Error::os(ENOMEM));
  }
  auto session = enter_terminal(tui::EscapeOptions{.colour = !start.no_color});
  if (!session) {
    return std::unexpected(std::move(session.error()));
  }
  SessionWatch watch{std::move(start.session_path), start.modified, std::move(start.loader)};
  std::expected<void, Error> outcome;
  {
    SessionTerminal terminal(*session);
    outcome = run_loop(terminal, state, watch);
  }
  auto left = leave_terminal(std::move(*session));
  if (!outcome) {
    return std::unexpected(std::move(outcome.error()));
  }
  if (!left) {
    return std::unexpected(std::move(left.error()));
  }
  return state.connect_requested ? 77 : 0;
}

}  // namespace qm
