#include "app/core/session_model.hpp"

#include <algorithm>
#include <map>
#include <set>

#include "app/core/problem_list.hpp"
#include "ui/text/value_text.hpp"

namespace qm {

namespace {

constexpr std::string_view publisher_attribution =
    "topic-level candidates only; not verified transform ownership";

struct FrameLinks {
  std::set<std::string> children;
  std::vector<const Json*> edges;
  bool has_parent = false;
};

std::string tf_label(std::string_view name, std::size_t depth) {
  std::string label;
  const std::size_t indent = std::min<std::size_t>(depth, 16);
  label.reserve(indent * 2 + 4 + name.size());
  for (std::size_t i = 0; i < indent; ++i) {
    label += "  ";
  }
  if (depth > 0) {
    label += "└─ ";
  }
  label += name;
  return label;
}

}  // namespace

Row Row::with_owned_value(std::string id, std::string label, Json value) {
  Row row;
  row.id = std::move(id);
  row.label = std::move(label);
  row.owned = std::make_shared<const Json>(std::move(value));
  row.value = row.owned.get();
  return row;
}

const Json& SessionModel::shown_capture() const {
  return member(root(), side == Side::baseline ? "baseline" : "current");
}

std::vector<Row> build_tf_rows(const Json& tf, std::vector<Json>& storage) {
  // 1. Every frame named by `frames` or by an edge, in ascending byte order.
  std::map<std::string, FrameLinks> frames;
  if (const Json::array_t* listed = array_of(member(tf, "frames"))) {
    for (const Json& frame : *listed) {
      frames.try_emplace(value_display_text(frame));
    }
  }
  // 2. Children, parents and the edges of every frame.
  if (const Json::array_t* edges = array_of(member(tf, "edges"))) {
    for (const Json& edge : *edges) {
      const std::string parent = value_display_text(member(edge, "parent"));
      const std::string child = value_display_text(member(edge, "child"));
      FrameLinks& parent_links = frames[parent];
      parent_links.children.insert(child);
      parent_links.edges.push_back(&edge);
      FrameLinks& child_links = frames[child];
      child_links.has_parent = true;
      child_links.edges.push_back(&edge);
    }
  }
  // 3-4. Depth-first from each root with an explicit stack; a frame is emitted once, under the
  // first parent reached, and frames only reachable through a cycle are never emitted.
  std::vector<std::pair<const std::string*, std::size_t>> order;
  std::set<std::string_view> visited;
  std::vector<std::pair<const std::string*, std::size_t>> stack;
  for (const auto& [name, links] : frames) {
    if (links.has_parent || visited.contains(name)) {
      continue;
    }
    stack.emplace_back(&name, 0);
    while (!stack.empty()) {
      const auto [frame, depth] = stack.back();
      stack.pop_back();
      if (!visited.insert(*frame).second) {
        continue;
      }
      order.emplace_back(frame, depth);
      const FrameLinks& frame_links = frames.at(*frame);
      for (auto child = frame_links.children.rbegin(); child != frame_links.children.rend();
           ++child) {
        if (!visited.contains(*child)) {
          stack.emplace_back(&frames.find(*child)->first, depth + 1);
        }
      }
    }
  }
  // 5. One row per emitted frame.
  storage.clear();
  storage.reserve(order.size());
  std::vector<Row> rows;
  rows.reserve(order.size());
  for (const auto& [frame, depth] : order) {
    Json edges = Json::array();
    for (const Json* edge : frames.at(*frame).edges) {
      edges.push_back(*edge);
    }
    Json value = Json::object();
    value["frame"] = *frame;
    value["edges"] = std::move(edges);
    value["publisher_attribution"] = publisher_attribution;
    storage.push_back(std::move(value));
    Row row;
    row.id = "frame:" + *frame;
    row.label = tf_label(*frame, depth);
    rows.push_back(std::move(row));
  }
  for (std::size_t i = 0; i < rows.size(); ++i) {
    rows[i].value = &storage[i];
  }
  return rows;
}

namespace {

SessionModel build_side(std::shared_ptr<const Json> document, Side side) {
  SessionModel model;
  model.document = std::move(document);
  model.side = side;
  const Json& root = model.root();
  const Json& capture = model.shown_capture();

  if (const Json::array_t* entities =
          array_of(member(root, side == Side::baseline ? "baseline_entities" : "entities"))) {
    model.entities.reserve(entities->size());
    model.id_index.reserve(entities->size());
    for (const Json& entity : *entities) {
      model.id_index.insert_or_assign(value_display_text(member(entity, "id")),
                                      model.entities.size());
      model.entities.push_back(&entity);
      const Json& kind = member(entity, "kind");
      model.topic_count += is_string_equal(kind, "topic") ? 1 : 0;
      model.node_count += is_string_equal(kind, "node") ? 1 : 0;
    }
  }
  if (const Json::array_t* edges = array_of(member_path(capture, {"graph", "edges"}))) {
    model.connection_index.reserve(edges->size());
    for (const Json& edge : *edges) {
      model.connection_index["node:" + value_display_text(member(edge, "node"))].push_back(&edge);
      model.connection_index["topic:" + value_display_text(member(edge, "topic"))].push_back(&edge);
    }
  }
  auto storage = std::make_shared<std::vector<Json>>();
  model.tf_rows = build_tf_rows(member(capture, "tf"), *storage);
  // The rows share ownership of the values they point to, so moving the model keeps them valid.
  for (Row& row : model.tf_rows) {
    row.owned = std::shared_ptr<const Json>(storage, row.value);
  }
  model.problems = problem_list(root);
  return model;
}

}  // namespace

SessionModel build_model(std::shared_ptr<const Json> document) {
  return build_side(std::move(document), Side::current);
}

SessionModel show_side(const SessionModel& model, Side side) {
  return build_side(model.document, side);
}

const Json* find_entity(const SessionModel& model, std::string_view id) {
  const auto found = model.id_index.find(id);
  return found == model.id_index.end() ? nullptr : model.entities[found->second];
}

std::vector<Row> connections_of(const SessionModel& model, std::string_view id) {
  std::vector<Row> rows;
  const auto found = model.connection_index.find(id);
  if (found == model.connection_index.end()) {
    return rows;
  }
  const bool is_topic = id.starts_with("topic:");
  rows.reserve(found->second.size());
  for (const Json* edge : found->second) {
    const std::string node = value_display_text(member(*edge, "node"));
    const std::string topic = value_display_text(member(*edge, "topic"));
    Row row;
    row.id = is_topic ? "node:" + node : "topic:" + topic;
    row.label = is_string_equal(member(*edge, "direction"), "pub") ? node + "  ──▶  " + topic
                                                                   : topic + "  ──▶  " + node;
    row.value = edge;
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace qm
