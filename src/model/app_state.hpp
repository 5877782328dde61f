#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "json/json_access.hpp"
#include "model/answers.hpp"
#include "model/list_order.hpp"
#include "model/message_log.hpp"
#include "model/outbox.hpp"
#include "model/rate_history.hpp"
#include "model/session_model.hpp"
#include "model/view.hpp"
#include "model/view_state.hpp"
#include "tui/geometry.hpp"

namespace qm {

// A place to come back to with Backspace.
struct HistoryEntry {
  std::string selected_id;
  std::string filter;
  View view = View::health;
  bool detail_focus = false;
};

// The command palette while it is open.
struct PaletteState {
  std::string query;
  std::size_t selected = 0;
};

// An open experiment form: the answers given so far, the one being typed, and the experiment
// it concludes (fixed when it opened).
struct FormState {
  enum class Kind : unsigned char { plan, conclude };
  Kind kind = Kind::plan;
  std::vector<std::string> answers;
  std::string input;
  std::string experiment_id;
};

// End in the launch log on its way through the pages: the start of the page asked for last and
// how many pages it has asked for.
struct LogEndFollow {
  uint64_t awaited_start = 0;
  std::size_t pages = 0;
};

// The launch-log viewer: open or not, the page it asks for and where it is scrolled.
struct LogViewerState {
  bool open = false;
  std::string query;
  bool search_entry = false;
  std::string search_input;
  std::string severity = "all";
  uint64_t context = 0;
  // Counts rows rather than lines while the lines wrap.
  uint16_t line_scroll = 0;
  uint16_t column_scroll = 0;
  // Long lines wrap at the panel's width instead of being cut and panned.
  bool wrap = false;
  std::optional<LogEndFollow> end_follow;
};

// A seek written that the document does not yet report: the offset asked for and when.
struct PendingSeek {
  double offset_s = 0.0;
  std::chrono::steady_clock::time_point asked_at{};
};

// The assistant panel: open or not, its scroll, the prompt (kept after closing and sending)
// and whether it is being edited, the raw view, and the connection last chosen.
struct AssistantState {
  bool open = false;
  uint16_t scroll = 0;
  bool composing = false;
  std::string prompt;
  bool raw = false;
  std::optional<std::size_t> connection_choice;
};

// The rate history panel of one topic, and its cursor: how many samples back from the newest.
struct RatePanelState {
  std::string topic;
  std::size_t cursor = 0;
};

// The one application state. The run loop owns it; key dispatch changes it; drawing only reads it
// (apart from recording the size of the frame it drew).
struct AppState {
  SessionModel model;
  View view = View::health;
  std::vector<Row> rows;
  std::size_t selected = 0;
  std::string selected_id;
  std::string filter;
  ResultsFilter results_status_filter = ResultsFilter::all;
  // The order of each view's list; the viewer's own, so the saved view state leaves it out.
  std::array<ListOrder, view_count> list_orders{};
  std::optional<std::string> selected_result_id;
  std::optional<std::string> pending_selection;
  std::optional<std::size_t> connection_cursor = 0;
  std::string status;
  bool keep_status = false;
  // The view state of the last `save_view` request written.
  std::optional<ViewState> last_saved_view_state;
  // Whether requests have somewhere to go; without a channel they fail when written.
  bool request_channel = false;
  // Requests and the clipboard text that key handling leaves for the run loop.
  Outbox outbox;
  // The last request written whose answer the detail pane shows; a reload that brings a new
  // answer to it scrolls the answer into view.
  std::optional<AwaitedAnswer> awaited_answer;

  uint16_t frame_width = 120;
  uint16_t frame_height = 36;
  uint16_t detail_scroll = 0;
  bool detail_focus = false;
  uint16_t pan = 0;

  LogViewerState log;
  std::optional<PendingSeek> pending_seek;
  AssistantState assistant;
  MessageLog messages;
  // Every topic's recent rates, recorded at each load of the document, and the panel that draws
  // one of them.
  RateHistory rate_history;
  std::optional<RatePanelState> rate_panel;

  bool filter_entry = false;
  bool help_open = false;
  uint16_t help_scroll = 0;
  bool raw_view = false;
  std::optional<PaletteState> palette;
  std::optional<FormState> form;

  // The viewer's clock when the document was last loaded, and as of the frame being drawn.
  std::chrono::steady_clock::time_point loaded_at{};
  std::chrono::steady_clock::time_point now{};

  bool connect_requested = false;
  bool truecolour = false;
  bool terminal_clipboard_enabled = true;
  std::vector<HistoryEntry> history;

  const Json& document() const { return model.root(); }
  // Notes the terminal's size, for mouse hit-testing and the width rules of key handling.
  void record_frame_size(tui::Size size) {
    frame_width = size.width;
    frame_height = size.height;
  }
  // The whole terminal as last recorded.
  tui::Rect frame_area() const { return tui::Rect{0, 0, frame_width, frame_height}; }
  bool baseline_shown() const { return model.baseline_shown(); }
  // The selected row, or none when the selection is past the end of the rows.
  const Row* selected_row() const { return selected < rows.size() ? &rows[selected] : nullptr; }
  ListOrder list_order() const { return list_orders[view_index(view)]; }
};

}  // namespace qm
