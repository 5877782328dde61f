#include "input/log_viewer.hpp"

#include <algorithm>
#include <string>

#include "base/saturating.hpp"
#include "base/unicode.hpp"
#include "input/copy_keys.hpp"
#include "input/request_channel.hpp"
#include "input/text_entry.hpp"
#include "model/launch_log_page.hpp"
#include "model/layout_numbers.hpp"
#include "model/limits.hpp"
#include "model/mode_keys.hpp"

namespace qm {

namespace {}  // namespace

void open_retained_launch_log(AppState& state) {
  const auto log = string_of(member_path(state.document(), {"runtime", "launch", "log"}));
  if (log.has_value() && !log->empty()) {
    open_log_viewer(state);
  } else {
    state.status = "No retained launch log is available for this session";
  }
}

void open_log_viewer(AppState& state) {
  state.log.open = true;
  state.log.line_scroll = 0;
  state.log.column_scroll = 0;
  request_log_page(state, 0, state.frame_height);
}

void request_log_page(AppState& state, uint64_t start, uint16_t terminal_rows) {
  state.log.line_scroll = 0;
  const uint64_t limit =
      terminal_rows < log_overlay_chrome_rows + 1
          ? 1
          : std::min<uint16_t>(terminal_rows - log_overlay_chrome_rows, log_page_line_limit);
  send_request(state, RequestAction::launch_log,
               RequestPayload()
                   .number("start", start)
                   .number("limit", limit)
                   .text("query", state.log.query)
                   .text("severity", state.log.severity)
                   .number("context", state.log.context));
}

void request_log_page_after_resize(AppState& state, uint16_t terminal_rows) {
  uint64_t start = 0;
  if (page_matches(state)) {
    start = unsigned_of(member(launch_log_page(state.document()), "start")).value_or(0);
  }
  request_log_page(state, start, terminal_rows);
}

namespace {

const Json& log_page(const AppState& state) {
  return launch_log_page(state.document());
}

// A start line the page on hand names, when it belongs to the current settings.
std::optional<uint64_t> matching_page_start(const AppState& state, std::string_view key) {
  return page_matches(state) ? unsigned_of(member(log_page(state), key)) : std::nullopt;
}

void request_page(AppState& state, uint64_t start) {
  request_log_page(state, start, state.frame_height);
}

void search_key(AppState& state, const tui::KeyEvent& key) {
  LogViewerState& log = state.log;
  const std::optional<EntryCommand> command = command_for(log_search_keys(), key);
  if (!command) {
    return;
  }
  switch (*command) {
    case EntryCommand::type:
      if (accepted_character(key, false) && log.search_input.size() < limits::log_search_bytes) {
        base::append_utf8(log.search_input, key.character);
      }
      return;
    case EntryCommand::erase:
      remove_last_character(log.search_input);
      return;
    case EntryCommand::submit:
      log.query = log.search_input;
      log.search_entry = false;
      request_page(state, 0);
      return;
    case EntryCommand::cancel:
      log.search_entry = false;
      return;
  }
}

void set_severity(AppState& state, std::string_view severity) {
  state.log.severity = severity;
  request_page(state, 0);
}

}  // namespace

void log_key(AppState& state, const tui::KeyEvent& key) {
  LogViewerState& log = state.log;
  if (log.search_entry) {
    search_key(state, key);
    return;
  }
  const std::optional<LogCommand> command = command_for(log_keys(), key);
  if (!command) {
    return;
  }
  switch (*command) {
    case LogCommand::pan_left:
      log.column_scroll = base::saturating_sub(log.column_scroll, limits::pan_step);
      return;
    case LogCommand::pan_right:
      log.column_scroll = base::saturating_add(log.column_scroll, limits::pan_step);
      return;
    case LogCommand::previous_page:
      request_page(state, matching_page_start(state, "previous_start").value_or(0));
      return;
    case LogCommand::next_page:
      if (page_matches(state) && is_true(member(log_page(state), "at_end"))) {
        return;
      }
      request_page(state, matching_page_start(state, "next_start").value_or(0));
      return;
    case LogCommand::scroll_down:
      log.line_scroll = base::saturating_add(log.line_scroll, 1);
      return;
    case LogCommand::scroll_up:
      log.line_scroll = base::saturating_sub(log.line_scroll, 1);
      return;
    case LogCommand::refresh:
      request_page(state, matching_page_start(state, "start").value_or(0));
      return;
    case LogCommand::severity_all:
      set_severity(state, "all");
      return;
    case LogCommand::severity_error:
      set_severity(state, "error");
      return;
    case LogCommand::severity_warning:
      set_severity(state, "warning");
      return;
    case LogCommand::toggle_context:
      log.context = log.context == 0 ? 2 : 0;
      request_page(state, 0);
      return;
    case LogCommand::full_log:
      log.query.clear();
      log.severity = "all";
      log.context = 0;
      log.column_scroll = 0;
      request_page(state, 0);
      return;
    case LogCommand::search:
      log.search_entry = true;
      log.search_input = log.query;
      return;
    case LogCommand::copy_line:
      copy_top_log_line(state);
      return;
    case LogCommand::close:
      log.open = false;
      return;
  }
}

}  // namespace qm
