#include "input/log_viewer.hpp"

#include <fmt/format.h>

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
#include "ui/log_overlay.hpp"

namespace qm {

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
  // Any other page asked for ends the way to the end.
  state.log.end_follow.reset();
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

// The line scroll that puts the end of the page on hand (its end note, when it has one) on the
// panel's bottom row, or 0 when the page fits below the headings.
uint16_t page_end_scroll(const AppState& state) {
  const LaunchLogRows rows = launch_log_rows(state, state.log.wrap);
  const std::size_t end = rows.starts.at(rows.page_end);
  return static_cast<uint16_t>(
      std::min<std::size_t>(end - std::min<std::size_t>(end, rows.height), 0xFFFF));
}

// One step of End on a page of the current settings: ask for the next page while there is one
// and the page says it is not the last, else stop and show the end of this one.
// 1. A page at the end, one that could not be read, or one whose next start does not lie past
//    its own start ends the way here.
// 2. After the page limit End stops and says how to go on.
// 3. Otherwise the next page is asked for and awaited.
void follow_to_end(AppState& state, std::size_t pages) {
  const Json& page = log_page(state);
  const std::optional<uint64_t> start = unsigned_of(member(page, "start"));
  const std::optional<uint64_t> next = unsigned_of(member(page, "next_start"));
  const bool more = !is_true(member(page, "at_end")) &&
                    !is_string_equal(member(page, "status"), "unavailable") && start && next &&
                    *next > *start;
  if (!more || pages >= limits::log_end_pages) {
    state.log.end_follow.reset();
    state.log.line_scroll = page_end_scroll(state);
    if (more) {
      state.status = fmt::format("End stopped after {} pages; press End to go on", pages);
    }
    return;
  }
  request_page(state, *next);
  state.log.end_follow = LogEndFollow{*next, pages + 1};
}

void start_log_end(AppState& state) {
  if (state.log.end_follow) {
    return;
  }
  if (page_matches(state)) {
    follow_to_end(state, 0);
  } else {
    request_page(state, 0);
    state.log.end_follow = LogEndFollow{0, 1};
  }
}

// Keeps the line at the top of the panel there when the lines start or stop wrapping.
void toggle_wrap(AppState& state) {
  LogViewerState& log = state.log;
  const LaunchLogRows before = launch_log_rows(state, log.wrap);
  log.wrap = !log.wrap;
  const LaunchLogRows after = launch_log_rows(state, log.wrap);
  // The last line that starts at or above the top row.
  const auto past = std::upper_bound(before.starts.begin(), before.starts.end() - 1,
                                     std::size_t{log.line_scroll});
  const auto line = static_cast<std::size_t>(std::max(past - before.starts.begin() - 1, 0L));
  log.line_scroll = static_cast<uint16_t>(std::min<std::size_t>(after.starts.at(line), 0xFFFF));
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
      if (!log.wrap) {
        log.column_scroll = base::saturating_sub(log.column_scroll, limits::pan_step);
      }
      return;
    case LogCommand::pan_right:
      if (!log.wrap) {
        log.column_scroll = base::saturating_add(log.column_scroll, limits::pan_step);
      }
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
      log.end_follow.reset();
      return;
    case LogCommand::first_page:
      request_page(state, 0);
      return;
    case LogCommand::last_page:
      start_log_end(state);
      return;
    case LogCommand::toggle_wrap:
      toggle_wrap(state);
      return;
  }
}

void continue_to_log_end(AppState& state) {
  const std::optional<LogEndFollow> follow = state.log.end_follow;
  if (!state.log.open || !follow || !page_matches(state)) {
    return;
  }
  const Json& page = log_page(state);
  if (unsigned_of(member(page, "start")) == follow->awaited_start ||
      is_true(member(page, "at_end"))) {
    follow_to_end(state, follow->pages);
  }
}

}  // namespace qm
