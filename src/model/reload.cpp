#include "model/reload.hpp"

#include <fmt/format.h>

#include <cerrno>
#include <new>
#include <optional>
#include <utility>

#include "model/outbox.hpp"
#include "model/pending_seek.hpp"
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
      builder.add(field.key(), field.value);
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

// Where the user was before a reload: the selected id, its row when the view lists entities, and
// the connection under the cursor.
struct NotedPlace {
  std::string id;
  std::optional<Row> row;
  std::optional<std::size_t> cursor;
  std::optional<NotedConnection> connection;
};

// 1. Notes the user's place before anything is replaced.
NotedPlace note_place(const AppState& state) {
  NotedPlace noted{state.selected_id, std::nullopt, state.connection_cursor, std::nullopt};
  if (traits_of(state.view).lists_entities) {
    if (const Row* row = find_row(state.rows, noted.id)) {
      noted.row = *row;
    }
  }
  if (noted.cursor) {
    const std::vector<Connection> connections = connections_of(state.model, noted.id);
    if (*noted.cursor < connections.size()) {
      const Json& edge = *connections[*noted.cursor].edge;
      noted.connection = NotedConnection{member(edge, "node"), member(edge, "topic"),
                                         member(edge, "direction"), member(edge, "type")};
    }
  }
  return noted;
}

// 2. Selects an id restored at start once a row has it; drops it unless the document still has
//    no capture and no rows.
void resolve_pending_selection(AppState& state) {
  if (!state.pending_selection) {
    return;
  }
  if (select_row_by_id(state, *state.pending_selection) ||
      member(state.document(), "current").is_object() || !state.rows.empty()) {
    state.pending_selection.reset();
  }
}

// 3. Keeps the noted id selected: on its row when the new rows have it, else on a placeholder of
//    its last row when the view lists entities and the shown capture was observed. True for the
//    placeholder.
bool keep_selection(AppState& state, const NotedPlace& noted) {
  const Row* kept = find_row(state.rows, noted.id);
  if (kept == nullptr && state.view == View::health && kind_of(noted.id) == RowKind::problem) {
    state.status = "The selected problem is no longer reported; showing the summary";
  }
  if (kept != nullptr) {
    state.selected = static_cast<std::size_t>(kept - state.rows.data());
    state.selected_id = noted.id;
    return false;
  }
  if (!noted.row) {
    return false;
  }
  const Json& capture = state.model.shown_capture();
  if (!member(capture, state.view == View::tf ? "tf" : "graph").is_object()) {
    return false;
  }
  state.rows.insert(state.rows.begin(), placeholder_row(*noted.row));
  state.selected = 0;
  state.selected_id = noted.id;
  state.status = fmt::format("{} absent from latest capture; prior selection retained", noted.id);
  return true;
}

// 4. Puts the connection cursor back on the same connection, or says that it disappeared.
void restore_connection(AppState& state, const NotedPlace& noted, bool placeholder) {
  if (placeholder) {
    // The entity is gone from the capture, and its connections with it.
    state.connection_cursor.reset();
    return;
  }
  if (state.selected_id != noted.id) {
    return;
  }
  if (noted.connection) {
    state.connection_cursor.reset();
    const std::vector<Connection> connections = connections_of(state.model, noted.id);
    for (std::size_t i = 0; i < connections.size(); ++i) {
      if (noted.connection->matches(*connections[i].edge)) {
        state.connection_cursor = i;
        break;
      }
    }
    if (!state.connection_cursor) {
      state.status = "Selected connection disappeared; use ↑/↓ to select another";
    }
  } else if (noted.cursor) {
    state.connection_cursor = 0;
  } else {
    state.connection_cursor.reset();
  }
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
  const NotedPlace noted = note_place(state);
  // The previous model lives to the end: the noted row and connection, and the old rows read
  // while the rows are rebuilt, point into it.
  const SessionModel previous = std::exchange(state.model, std::move(*model));
  rebuild_rows(state);
  state.rate_history.record(state.document(), state.now);
  resolve_pending_selection(state);
  const bool placeholder = keep_selection(state, noted);
  restore_connection(state, noted, placeholder);
  settle_pending_seek(state, previous.root());
  // A rewrite is the backend's answer: what the document now reports replaces the waiting.
  if (state.keep_status || awaits_backend(state.status)) {
    state.status.clear();
    state.keep_status = false;
  }
}

}  // namespace qm
