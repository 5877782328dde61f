#include <cerrno>
#include <new>
#include <utility>

#include "app/entry.hpp"
#include "app/request_file.hpp"
#include "app/run_loop.hpp"
#include "app/terminal_lifecycle.hpp"
#include "model/initial_state.hpp"
#include "term/restore.hpp"
#include "tui/osc52.hpp"
#include "ui/frame.hpp"
#include "ui/styles.hpp"

namespace qm {

namespace {

// The loop's terminal: frames drawn through the toolkit, events from the controlling terminal.
class SessionTerminal final : public LoopTerminal {
 public:
  explicit SessionTerminal(TerminalSession& session) : session_(session) {}

  std::expected<void, Error> draw(const AppState& state) override {
    // A frame goes out whole: a signal that restores the terminal waits for its end, so the
    // restore never lands inside the frame's sequences and no rest of a frame follows it.
    const tui::HeldSignalsBlocked blocked;
    auto drawn =
        session_.terminal.draw([&](tui::Frame& frame) { draw_frame(frame, state, pages_); });
    if (!drawn) {
      return std::unexpected(Error::os(drawn.error()));
    }
    return {};
  }

  std::expected<std::optional<tui::Event>, Error> wait_event(std::chrono::milliseconds timeout,
                                                             int wake_descriptor) override {
    auto woken = session_.events.wait(timeout, wake_descriptor);
    if (!woken) {
      return std::unexpected(Error::os(woken.error()));
    }
    if (*woken != tui::EventSource::Wakeup::event) {
      return std::optional<tui::Event>();
    }
    auto event = session_.events.read();
    if (!event) {
      return std::unexpected(Error::os(event.error()));
    }
    return std::optional<tui::Event>(std::move(*event));
  }

  std::expected<void, Error> resume() override { return resume_terminal(session_); }

  void copy_to_clipboard(std::string_view text) override {
    const tui::HeldSignalsBlocked blocked;
    // A terminal that refuses the request says nothing; the status row shows the command.
    static_cast<void>(session_.terminal.write_between_frames(tui::clipboard_sequence(text)));
  }

  tui::Size size() override {
    const tui::Rect viewport = session_.terminal.viewport();
    return {viewport.width, viewport.height};
  }

 private:
  TerminalSession& session_;
  // The detail pages drawn lately, so a frame whose page is unchanged does not build it again.
  DetailMemo pages_;
};

}  // namespace

std::expected<int, Error> run_viewer(ViewerStart start) {
  std::optional<RequestFile> requests;
  if (start.requests_path) {
    requests.emplace(std::move(*start.requests_path));
  }
  AppState state;
  try {
    state = build_initial_state(std::move(start.document), requests.has_value(), start.truecolour);
  } catch (const std::bad_alloc&) {
    return std::unexpected(Error::os(ENOMEM));
  }
  auto session = enter_terminal(tui::EscapeOptions{.colour = !start.no_color});
  if (!session) {
    return std::unexpected(std::move(session.error()));
  }
  SessionWatch watch{std::move(start.session_path), start.modified, std::move(start.loader), {}};
  // Where the file system gives no notices, the loop's timeout polls the file.
  watch.notice = FolderNotice::watch(watch.path);
  std::expected<void, Error> outcome;
  {
    SessionTerminal terminal(*session);
    outcome = run_loop(terminal, state, watch, requests ? &*requests : nullptr);
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
