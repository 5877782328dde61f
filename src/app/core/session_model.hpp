#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "app/core/json_access.hpp"

namespace qm {

// Which capture the views show.
enum class Side : unsigned char { current, baseline };

constexpr std::string_view side_name(Side side) {
  return side == Side::baseline ? "baseline" : "current";
}

// One line of a list: a stable id, the label shown, and the value the detail pane describes.
// `value` points into the session model (or into `owned`, for a row made by the program itself),
// so rows are cheap to rebuild and must not outlive the model they were built from.
struct Row {
  std::string id;
  std::string label;
  const Json* value = &null_json();
  std::shared_ptr<const Json> owned;

  static Row with_owned_value(std::string id, std::string label, Json value);
};

// Lookup by text key that accepts a string_view.
struct TextHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view text) const noexcept {
    return std::hash<std::string_view>{}(text);
  }
};
template <typename T>
using TextMap = std::unordered_map<std::string, T, TextHash, std::equal_to<>>;

// What the views need of the document for the shown side: its entities with fast lookups by id,
// the connections of every endpoint, the TF rows and the problem list. Rebuilt whole, never
// patched; rows and entity pointers point into it, so it can be moved but not copied.
struct SessionModel {
  std::shared_ptr<const Json> document;
  Side side = Side::current;
  std::vector<const Json*> entities;
  // How many of the entities are topics and nodes, counted once for the frame's view badges.
  std::size_t topic_count = 0;
  std::size_t node_count = 0;
  TextMap<std::size_t> id_index;
  TextMap<std::vector<const Json*>> connection_index;
  std::vector<Row> tf_rows;
  std::vector<Json> problems;

  SessionModel() = default;
  SessionModel(SessionModel&&) = default;
  SessionModel& operator=(SessionModel&&) = default;
  SessionModel(const SessionModel&) = delete;
  SessionModel& operator=(const SessionModel&) = delete;

  const Json& root() const { return document ? *document : null_json(); }
  bool baseline_shown() const { return side == Side::baseline; }
  // The capture object of the shown side (`current` or `baseline`).
  const Json& shown_capture() const;
};

// The model of the current side of `document`.
SessionModel build_model(std::shared_ptr<const Json> document);
// The model of `side`, rebuilt from the model's document.
SessionModel show_side(const SessionModel& model, Side side);
// The entity with that id, or null when there is none.
const Json* find_entity(const SessionModel& model, std::string_view id);
// The connections of the entity with that id: one row per edge, naming the entity at the other end.
std::vector<Row> connections_of(const SessionModel& model, std::string_view id);

// The rows of the TF view of one capture's `tf` object.
std::vector<Row> build_tf_rows(const Json& tf, std::vector<Json>& storage);

}  // namespace qm
