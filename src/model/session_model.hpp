#pragma once

#include <string.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "json/json_access.hpp"
#include "model/text_map.hpp"
#include "model/view.hpp"

namespace qm {

// Which capture the views show.
enum class Side : unsigned char { current, baseline };

constexpr std::string_view side_name(Side side) {
  return side == Side::baseline ? "baseline" : "current";
}

// One line of a list: a stable id, the label shown, and the value the detail pane describes.
// The texts and the value point into the session model (or into `owned`, for a row made on
// demand), so rows are cheap to copy and must not outlive the model they were built from.
struct Row {
  std::string_view id;
  std::string_view label;
  const Json* value = &null_json();
  std::shared_ptr<const Document> owned;

  // A row that holds copies of its texts and of `value`, so it outlives every model.
  static Row owning(std::string_view id, std::string_view label, const Json& value);
};

// The rows of one list before any search, with the texts a search compares: each row's
// lower-cased label and id, one after the other in one text, so that a search is one pass over
// it. A line feed ends each text; the search never contains one, so no match spans two texts.
struct RowList {
  std::vector<Row> rows;
  std::string search_text;
  // Where the texts of each row end in `search_text`.
  std::vector<std::uint32_t> search_ends;

  // Adds a row with the lower-cased texts it is searched by.
  void add(Row row, std::string_view lowered_label, std::string_view lowered_id);
  // Where the texts of row `index` begin in `search_text`: its label, then its id.
  std::size_t search_start(std::size_t index) const {
    return index == 0 ? 0 : search_ends[index - 1];
  }
  // Calls `found(index, offset)` for each row whose texts contain `lowered_search` (not empty),
  // in order, with the offset of its first match in `search_text`: one pass over the text, moving
  // on to the next row after each match.
  template <typename Found>
  void for_each_match(std::string_view lowered_search, Found&& found) const {
    std::size_t from = 0;
    while (from < search_text.size()) {
      const void* hit = ::memmem(search_text.data() + from, search_text.size() - from,
                                 lowered_search.data(), lowered_search.size());
      if (hit == nullptr) {
        return;
      }
      const auto offset =
          static_cast<std::size_t>(static_cast<const char*>(hit) - search_text.data());
      const auto index = static_cast<std::size_t>(
          std::upper_bound(search_ends.begin(), search_ends.end(), offset) - search_ends.begin());
      found(index, offset);
      from = search_ends[index];
    }
  }
};

// The lists the model keeps: views that show the same rows share one.
enum class ListKind : unsigned char { health, topics, nodes, tf, changes, results, project, none };
inline constexpr std::size_t list_kind_count = 7;
ListKind list_kind_of(View view);

// One end of a connection of the selected entity: the id of the entity at the other end, the
// line shown for it, and the edge.
struct Connection {
  std::string id;
  std::string label;
  const Json* edge = &null_json();
};

// The graph edges of every node and topic of the shown capture, grouped by endpoint.
struct ConnectionIndex {
  // Endpoint names (row ids without their kind prefix) to their group.
  TextMap nodes;
  TextMap topics;
  // The edges of group g are edges[starts[g]] up to edges[starts[g + 1]], in document order.
  std::vector<std::uint32_t> starts;
  std::vector<const Json*> edges;

  // The edges of the node or topic with that id; empty for any other.
  std::span<const Json* const> of(std::string_view id) const;
};

// What the views need of the document for the shown side: its entities with fast lookups by id,
// the connections of every endpoint, the problem list and the rows of every list with their
// search texts. Built once per document and side, never patched; rows, texts and values point
// into it or its document, so it can be moved but not copied.
struct SessionModel {
  DocumentPtr document;
  Side side = Side::current;
  std::vector<const Json*> entities;
  // How many of the entities are topics and nodes, counted once for the frame's view badges.
  std::size_t topic_count = 0;
  std::size_t node_count = 0;
  // Ids to their position in `entities`; a repeated id finds its last entity.
  TextMap id_index;
  ConnectionIndex connections;
  std::vector<Json> problems;
  std::array<RowList, list_kind_count> lists;
  // Texts and values the model made itself (row texts, TF rows, launch problems).
  std::unique_ptr<JsonArena> arena = std::make_unique<JsonArena>();

  SessionModel() = default;
  SessionModel(SessionModel&&) = default;
  SessionModel& operator=(SessionModel&&) = default;
  SessionModel(const SessionModel&) = delete;
  SessionModel& operator=(const SessionModel&) = delete;

  const Json& root() const { return document ? document->root : null_json(); }
  bool baseline_shown() const { return side == Side::baseline; }
  // The capture object of the shown side (`current` or `baseline`).
  const Json& shown_capture() const;
  const RowList& list(ListKind kind) const { return lists[static_cast<std::size_t>(kind)]; }
  const std::vector<Row>& tf_rows() const { return list(ListKind::tf).rows; }
};

// The model of the current side of `document`.
SessionModel build_model(DocumentPtr document);
// The model of `side`, rebuilt from the model's document.
SessionModel show_side(const SessionModel& model, Side side);
// The entity with that id, or null when there is none.
const Json* find_entity(const SessionModel& model, std::string_view id);
// The connections of the entity with that id, one per edge.
std::vector<Connection> connections_of(const SessionModel& model, std::string_view id);
// How many connections the entity with that id has.
std::size_t connection_count(const SessionModel& model, std::string_view id);

// The key of a run: its `retained_id` when that is a text, else its position in `runs`.
std::string run_key(const Json& run, std::size_t position);

// The rows of the TF view of one capture's `tf` object; texts and values go into `arena`.
std::vector<Row> build_tf_rows(const Json& tf, JsonArena& arena);

}  // namespace qm
