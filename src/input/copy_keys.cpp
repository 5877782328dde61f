#include "input/copy_keys.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

#include "input/clipboard.hpp"
#include "model/launch_log_page.hpp"
#include "model/row_id.hpp"
#include "text/text.hpp"
#include "text/value_text.hpp"
#include "ui/log_overlay.hpp"

namespace qm {

namespace {

constexpr std::string_view inspector = "the inspector";

// What `y` copies in a view: how the status row names it, and its text when there is one.
struct CopyItem {
  std::string_view what;
  std::optional<std::string> text;
};

std::optional<std::string> safe_text(const Json& value) {
  if (const auto text = string_of(value)) {
    return display_safe(*text);
  }
  return std::nullopt;
}

// A topic's or node's name: the entity's `name`, else its id without the kind.
CopyItem entity_name(const Row& row) {
  const std::string_view what = kind_of(row.id) == RowKind::node ? "node name" : "topic name";
  if (auto name = safe_text(member(*row.value, "name"))) {
    return {what, std::move(name)};
  }
  return {what, std::string(name_of(row.id))};
}

CopyItem frame_name(const Row& row) {
  if (auto name = safe_text(member(*row.value, "frame"))) {
    return {"frame name", std::move(name)};
  }
  return {"frame name", std::string(name_of(row.id))};
}

// The id of the run a Results row belongs to: its own, or that of the run row above a check.
CopyItem run_id(const AppState& state) {
  for (std::size_t i = state.selected + 1; i-- > 0;) {
    const Row& row = state.rows[i];
    if (kind_of(row.id) == RowKind::run) {
      return {"run id", safe_text(member(*row.value, "retained_id"))};
    }
  }
  return {"run id", std::nullopt};
}

CopyItem project_item(const AppState& state, const Row& row) {
  if (row.id == project_summary_id) {
    return {"project root", safe_text(member(*row.value, "root"))};
  }
  if (row.id == task_history_id) {
    return {"task file path", safe_text(member(state.document(), "task_path"))};
  }
  const Json& id = member(*row.value, "id");
  if (id.is_number()) {
    return {"experiment id", value_display_text(id)};
  }
  return {"experiment id", safe_text(id)};
}

// The last export's destination, as the Capture view reports it.
CopyItem export_path(const AppState& state) {
  const Json& runtime = member(state.document(), "runtime");
  if (auto path = safe_text(member_path(runtime, {"export_feedback", "path"}))) {
    return {"export path", std::move(path)};
  }
  return {"export path", safe_text(member(runtime, "last_export"))};
}

// What the view offers for the selected row (a view without a list offers its own path).
CopyItem copy_item(const AppState& state, const Row& row) {
  switch (state.view) {
    case View::graph:
    case View::topics:
    case View::nodes:
      return entity_name(row);
    case View::tf:
      return frame_name(row);
    case View::changes:
      return {"entity name", safe_text(member(*row.value, "name"))};
    case View::results:
      return run_id(state);
    case View::project:
      return project_item(state, row);
    case View::health:
    case View::playback:
    case View::capture:
      break;
  }
  return {"name", std::nullopt};
}

void offer(AppState& state, CopyItem item, std::string_view fallback) {
  if (!item.text) {
    state.status = fmt::format("No {} to copy", item.what);
    return;
  }
  offer_to_clipboard(state, std::move(*item.text), item.what, fallback);
}

}  // namespace

void copy_selected_name(AppState& state) {
  if (state.view == View::playback) {
    offer(state,
          {"recording path",
           safe_text(member_path(state.document(), {"runtime", "playback", "bag"}))},
          inspector);
    return;
  }
  if (state.view == View::capture) {
    offer(state, export_path(state), inspector);
    return;
  }
  const Row* row = state.selected_row();
  if (row == nullptr) {
    state.status = "Nothing is selected to copy";
    return;
  }
  offer(state, copy_item(state, *row), inspector);
}

void copy_top_log_line(AppState& state) {
  const auto lines = page_matches(state)
                         ? array_of(member(launch_log_page(state.document()), "lines"))
                         : std::nullopt;
  if (!lines || lines->empty()) {
    state.status = "No log line to copy on this page";
    return;
  }
  // The line whose first row is the top row, or the one the top row wraps within.
  const LaunchLogRows rows = launch_log_rows(state, state.log.wrap);
  const auto past = std::upper_bound(rows.starts.begin(), rows.starts.end() - 1,
                                     std::size_t{state.log.line_scroll});
  const auto top = static_cast<std::size_t>(std::max(past - rows.starts.begin() - 1, 0L));
  const std::size_t index =
      std::min(top > rows.page_begin ? top - rows.page_begin : 0, lines->size() - 1);
  offer(state, {"log line", safe_text(member((*lines)[index], "text"))}, "the log file");
}

}  // namespace qm
