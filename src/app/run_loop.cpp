#include "app/run_loop.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <ctime>
#include <string>
#include <utility>
#include <variant>

#include "app/answers_in_sight.hpp"
#include "app/mouse.hpp"
#include "input/key_dispatch.hpp"
#include "input/log_viewer.hpp"
#include "input/scrolling.hpp"
#include "model/limits.hpp"
#include "model/mode.hpp"
#include "model/reload.hpp"
#include "model/staleness.hpp"
#include "ui/status_row.hpp"

namespace qm {

namespace {

template <class... Handlers>
struct Overloaded : Handlers... {
  using Handlers::operator()...;
};
// Clang before 17 does not deduce an aggregate's template arguments by itself.
template <class... Handlers>
Overloaded(Handlers...) -> Overloaded<Handlers...>;

// The time of day on the viewer's clock, as the message log shows it.
std::string time_of_day() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return fmt::format("{:02}:{:02}:{:02}", local.tm_hour, local.tm_min, local.tm_sec);
}

void log_messages(AppState& state) {
  note_messages(state.messages, state.status, document_status_message(state), time_of_day());
}

void scroll(uint16_t& offset, tui::MouseKind kind) {
  if (kind == tui::MouseKind::wheel_down) {
    offset = base::saturating_add(offset, limits::wheel_step);
  } else if (kind == tui::MouseKind::wheel_up) {
    offset = base::saturating_sub(offset, limits::wheel_step);
  }
}

// The key a mouse event stands for, if any.
std::optional<tui::KeyEvent> handle_mouse(AppState& state, const tui::MouseEvent& mouse) {
  switch (active_mode(state)) {
    case Mode::assistant:
      scroll_assistant(state, wheel_rows(mouse.kind));
      return std::nullopt;
    case Mode::log:
      scroll(state.log.line_scroll, mouse.kind);
      return std::nullopt;
    case Mode::messages:
      scroll(state.messages.scroll, mouse.kind);
      return std::nullopt;
    case Mode::normal:
      return handle_frame_mouse(state, mouse);
    case Mode::palette:
    case Mode::form:
    case Mode::filter_entry:
    case Mode::help:
    case Mode::rate_history:
      return std::nullopt;
  }
  return std::nullopt;
}

EventOutcome handle_key_event(AppState& state, const tui::KeyEvent& key) {
  const std::string status_before = state.status;
  const bool keep_running = handle_key(state, key);
  if (state.status != status_before) {
    state.keep_status = false;
  }
  return EventOutcome{.redraw = true, .stop = !keep_running, .key_handled = true};
}

}  // namespace

EventOutcome handle_event(AppState& state, const tui::Event& event) {
  return std::visit(Overloaded{
                        [&](const tui::KeyEvent& key) {
                          if (key.kind == tui::KeyKind::release) {
                            return EventOutcome{};
                          }
                          return handle_key_event(state, key);
                        },
                        [&](const tui::MouseEvent& mouse) {
                          if (const auto key = handle_mouse(state, mouse)) {
                            return handle_key_event(state, *key);
                          }
                          return EventOutcome{.redraw = true};
                        },
                        [&](const tui::ResizeEvent& resize) {
                          state.record_frame_size(resize.size);
                          if (state.log.open) {
                            request_log_page_after_resize(state, resize.size.height);
                          }
                          return EventOutcome{.redraw = true};
                        },
                        [](const auto&) { return EventOutcome{}; },
                    },
                    event);
}

bool SessionWatch::check(AppState& state) {
  // Several notices since the last look make one reload.
  const bool rewritten = notice.drain() == FileNotice::rewritten;
  const std::optional<ModificationTime> now = modification_time(path);
  const bool changed =
      rewritten || (now ? (!reference || *now != *reference) : reference.has_value());
  if (!changed) {
    return false;
  }
  std::expected<DocumentPtr, Error> loaded = loader.load(path);
  if (loaded) {
    state.loaded_at = state.now;
  }
  // The old document stays alive for the comparison of answers.
  const DocumentPtr before = state.model.document;
  apply_reload(state, std::move(loaded));
  bring_answers_into_view(state, before ? before->root : null_json());
  continue_to_log_end(state);
  reference = now;
  return true;
}

void deliver_outbox(AppState& state, RequestWriter* requests, LoopTerminal& terminal) {
  // Writing may take long enough for a key handler's vector to be needed again: take it whole.
  const std::vector<Request> queued = std::exchange(state.outbox.requests, {});
  for (const Request& request : queued) {
    const std::expected<void, std::string> written =
        requests != nullptr ? requests->append(request_line(request))
                            : std::unexpected(std::string(no_request_channel));
    note_request_outcome(state, request, written);
  }
  if (state.outbox.clipboard) {
    terminal.copy_to_clipboard(*state.outbox.clipboard);
    state.outbox.clipboard.reset();
  }
}

std::expected<void, Error> run_loop(LoopTerminal& terminal, AppState& state, SessionWatch& watch,
                                    RequestWriter* requests, const LoopClock& clock) {
  state.record_frame_size(terminal.size());
  state.now = clock();
  state.loaded_at = state.now;
  state.rate_history.record(state.document(), state.now);
  log_messages(state);
  bool redraw = true;
  while (true) {
    if (redraw) {
      if (auto drawn = terminal.draw(state); !drawn) {
        return std::unexpected(drawn.error());
      }
      redraw = false;
    }
    auto event = terminal.wait_event(state.log.end_follow ? page_poll_interval : poll_interval,
                                     watch.wake_descriptor());
    if (!event) {
      return std::unexpected(event.error());
    }
    const std::optional<std::string> age_before = stale_age_text(state);
    state.now = clock();
    if (*event && std::holds_alternative<tui::ContinuedEvent>(**event)) {
      if (auto resumed = terminal.resume(); !resumed) {
        return std::unexpected(resumed.error());
      }
      redraw = true;
    } else if (*event) {
      const std::string status_before = state.status;
      const EventOutcome outcome = handle_event(state, **event);
      deliver_outbox(state, requests, terminal);
      // What a key's requests report replaces a kept reload message as the key's own would.
      if (outcome.key_handled && state.status != status_before) {
        state.keep_status = false;
      }
      if (outcome.stop) {
        return {};
      }
      redraw = outcome.redraw;
    }
    if (watch.check(state) || stale_age_text(state) != age_before) {
      redraw = true;
    }
    if (!state.outbox.requests.empty()) {
      deliver_outbox(state, requests, terminal);
    }
    log_messages(state);
  }
}

}  // namespace qm
