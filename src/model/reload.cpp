#include "model/reload.hpp"

#include <fmt/format.h>

#include <cerrno>
#include <new>
#include <optional>
#include <utility>

#include "model/row_id.hpp"
#include "model/row_selection.hpp"
#include "text/text.hpp"

namespace qm {

namespace {

struct NotedConnection {
  Json node;
  Json topic;
  Json direction;
  Json type;

  bool matches(const Json& edge) const {
    return member(edge, "node") == node && member(edge, "topic") == topic &&
           member(edge, "direction") == direction && member(edge, "type") == type;
  }
};

const Row* find_row(const std::vector<Row>& rows, std::string_view id) {
  for (const Row& row : rows) {
    if (row.id == id)
      return &row;
  }
  return nullptr;
}

std::string placeholder_name(const Row& row) {
  if (const auto name = string_of(member(*row.value, "name"))) {
    return display_safe(*name);
  }
  const std::size_t colon = row.id.find(':');
  if (colon != std::string::npos) {
    return std::string(row.id.substr(colon + 1));
  }
  return "unknown";
}

// The row that stands in for a selected entity the new capture no longer has: its last value,
// marked as unavailable.
Row placeholder_row(const Row& noted) {
  Document value;
  JsonBuilder builder(value.arena);
  if (const auto members = object_of(*noted.value)) {
    for (const JsonMember& field : *members) {
      builder.add(field.key, field.value);
    }
  }
  builder.add("observation_unavailable", Json::from_bool(true));
  value.root = builder.object();
  return Row::owning(noted.id, "[unavailable] " + placeholder_name(noted), value.root);
}

}  // namespace

namespace {

void reject(AppState& state, const Error& error) {
  state.status = "Refresh rejected; retaining previous capture: " + plain_error_text(error);
  state.keep_status = true;
}

// The model of the new document on the side that was shown; none when memory ran out, which is
// a failed reload like any other.
std::optional<SessionModel> model_for(const AppState& state, DocumentPtr document) try {
  SessionModel model = build_model(std::move(document));
  if (state.baseline_shown()) {
    model = show_side(model, Side::baseline);
  }
  return model;
} catch (const std::bad_alloc&) {
  return std::nullopt;
}

}  // namespace

void apply_reload(AppState& state, std::expected<DocumentPtr, Error> loaded) {
  if (!loaded) {
    reject(state, loaded.error());
    return;
  }
  std::optional<SessionModel> model = model_for(state, std::move(*loaded));
  if (!model) {
    reject(state, Error::os(ENOMEM));
    return;
  }

  // Note the user's place before anything is replaced.
  const std::string noted_id = state.selected_id;
  std::optional<Row> noted_row;
  if (traits_of(state.view).lists_entities) {
    if (const Row* row = find_row(state.rows, noted_id)) {
      noted_row = *row;
    }
  }
  const std::optional<std::size_t> old_cursor = state.connection_cursor;
  std::optional<NotedConnection> noted_connection;
  bool cursor_designated_connection = false;
  if (old_cursor) {
    const std::vector<Connection> connections = connections_of(state.model, noted_id);
    if (*old_cursor < connections.size()) {
      const Json& edge = *connections[*old_cursor].edge;
      noted_connection = NotedConnection{member(edge, "node"), member(edge, "topic"),
                                         member(edge, "direction"), member(edge, "type")};
      cursor_designated_connection = true;
    }
  }

  // The previous model lives to the end: the noted row and the old rows, read while the rows are
  // rebuilt, point into it.
  const SessionModel previous = std::exchange(state.model, std::move(*model));

  rebuild_rows(state);

  if (state.pending_selection) {
    if (select_row_by_id(state, *state.pending_selection)) {
      state.pending_selection.reset();
    } else if (member(state.document(), "current").is_object() || !state.rows.empty()) {
      state.pending_selection.reset();
    }
  }

  if (state.view == View::health && kind_of(noted_id) == RowKind::problem &&
      find_row(state.rows, noted_id) == nullptr) {
    state.status = "The selected problem is no longer reported; showing the summary";
  }

  bool kept = false;
  for (std::size_t i = 0; i < state.rows.size(); ++i) {
    if (state.rows[i].id == noted_id) {
      state.selected = i;
      state.selected_id = noted_id;
      kept = true;
      break;
    }
  }
  bool placeholder = false;
  if (!kept && noted_row) {
    const Json& capture = state.model.shown_capture();
    const bool observed = member(capture, state.view == View::tf ? "tf" : "graph").is_object();
    if (observed) {
      state.rows.insert(state.rows.begin(), placeholder_row(*noted_row));
      placeholder = true;
      state.selected = 0;
      state.selected_id = noted_id;
      state.status =
          fmt::format("{} absent from latest capture; prior selection retained", noted_id);
    }
  }

  if (placeholder) {
    // The entity is gone from the capture, and its connections with it.
    state.connection_cursor.reset();
  } else if (state.selected_id == noted_id) {
    if (noted_connection) {
      state.connection_cursor.reset();
      const std::vector<Connection> connections = connections_of(state.model, noted_id);
      for (std::size_t i = 0; i < connections.size(); ++i) {
        if (noted_connection->matches(*connections[i].edge)) {
          state.connection_cursor = i;
          break;
        }
      }
      if (!state.connection_cursor) {
        state.status = "Selected connection disappeared; use ↑/↓ to select another";
      }
    } else if (old_cursor && !cursor_designated_connection) {
      state.connection_cursor = 0;
    } else if (!old_cursor) {
      state.connection_cursor.reset();
    }
  }

  if (state.keep_status) {
    state.status.clear();
    state.keep_status = false;
  }
}

}  // namespace qm
