#include "model/session_model.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <map>
#include <set>

#include "model/problem_list.hpp"
#include "model/row_id.hpp"
#include "text/text.hpp"
#include "text/value_text.hpp"

namespace qm {

namespace {

constexpr std::string_view publisher_attribution =
    "topic-level candidates only; not verified transform ownership";

// Keeps the texts of rows in the model's arena, pointing into the document instead wherever the
// shown or lower-cased text is the document's own bytes (the common case of plain ASCII names).
class RowTexts {
 public:
  explicit RowTexts(JsonArena& arena) : arena_(arena) {}

  std::string_view keep(std::string_view text) { return arena_.copy_text(text); }

  // The value text of `value`.
  std::string_view shown(const Json& value) {
    if (value.is_string() && is_plain(value.string())) {
      return value.string();
    }
    return keep(value_display_text(value));
  }

  std::string_view lowered(std::string_view text) {
    if (is_plain(text) &&
        std::none_of(text.begin(), text.end(), [](char c) { return c >= 'A' && c <= 'Z'; })) {
      return text;
    }
    return keep(lowercase_full(text));
  }

  void add(RowList& list, std::string_view id, std::string_view label, const Json& value) {
    list.add(Row{id, label, &value, nullptr}, lowered(label), lowered(id));
  }

 private:
  // Printable ASCII, which display_safe and value text keep as it is.
  static bool is_plain(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
  }

  JsonArena& arena_;
};

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

void RowList::add(Row row, std::string_view lowered_label, std::string_view lowered_id) {
  rows.push_back(row);
  search_text += lowered_label;
  search_text += '\n';
  search_text += lowered_id;
  search_text += '\n';
  search_ends.push_back(static_cast<std::uint32_t>(search_text.size()));
}

Row Row::owning(std::string_view id, std::string_view label, const Json& value) {
  auto document = std::make_shared<Document>();
  Row row;
  row.id = document->arena.copy_text(id);
  row.label = document->arena.copy_text(label);
  document->root = copy_json(value, document->arena);
  row.value = &document->root;
  row.owned = std::move(document);
  return row;
}

ListKind list_kind_of(View view) {
  switch (view) {
    case View::health:
      return ListKind::health;
    case View::graph:
    case View::topics:
      return ListKind::topics;
    case View::nodes:
      return ListKind::nodes;
    case View::tf:
      return ListKind::tf;
    case View::changes:
      return ListKind::changes;
    case View::results:
      return ListKind::results;
    case View::playback:
    case View::capture:
      return ListKind::none;
    case View::project:
      return ListKind::project;
  }
  return ListKind::none;
}

const Json& SessionModel::shown_capture() const {
  return member(root(), side == Side::baseline ? "baseline" : "current");
}

std::vector<Row> build_tf_rows(const Json& tf, JsonArena& arena) {
  // 1. Every frame named by `frames` or by an edge, in ascending byte order.
  std::map<std::string, FrameLinks> frames;
  if (const auto listed = array_of(member(tf, "frames"))) {
    for (const Json& frame : *listed) {
      frames.try_emplace(value_display_text(frame));
    }
  }
  // 2. Children, parents and the edges of every frame.
  if (const auto edges = array_of(member(tf, "edges"))) {
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
  // 5. One row per emitted frame, its value made in the arena.
  Json* values = arena.allocate_values(order.size());
  std::vector<Row> rows;
  rows.reserve(order.size());
  JsonBuilder builder(arena);
  std::vector<Json> edges;
  for (std::size_t i = 0; i < order.size(); ++i) {
    const auto& [frame, depth] = order[i];
    edges.clear();
    for (const Json* edge : frames.at(*frame).edges) {
      edges.push_back(*edge);
    }
    const std::string_view name = arena.copy_text(*frame);
    builder.add("frame", JsonArena::string_view_of(name));
    builder.add("edges", builder.array(edges));
    builder.add("publisher_attribution", publisher_attribution);
    values[i] = builder.object();
    rows.push_back(Row{arena.copy_text(row_id(RowKind::frame, *frame)),
                       arena.copy_text(tf_label(*frame, depth)), &values[i], nullptr});
  }
  return rows;
}

namespace {

RowList& list_of(SessionModel& model, ListKind kind) {
  return model.lists[static_cast<std::size_t>(kind)];
}

void add_health_rows(const SessionModel& model, RowTexts& texts, RowList& list) {
  texts.add(list, health_summary_id, "System at a glance", null_json());
  for (const Json& item : model.problems) {
    const auto title = string_of(member(item, "title"));
    texts.add(list, texts.shown(member(item, "id")),
              title ? texts.keep(display_safe(*title)) : "problem", item);
  }
}

// The entities, their id index and the rows of the Topics and Nodes lists, in one pass.
void add_entities(SessionModel& model, std::span<const Json> entities, RowTexts& texts) {
  RowList& topics = list_of(model, ListKind::topics);
  RowList& nodes = list_of(model, ListKind::nodes);
  model.entities.reserve(entities.size());
  model.id_index.reserve(entities.size());
  for (const Json& entity : entities) {
    const std::string_view id = texts.shown(member(entity, "id"));
    model.id_index.insert_or_assign(id, static_cast<std::uint32_t>(model.entities.size()));
    model.entities.push_back(&entity);
    const Json& kind = member(entity, "kind");
    if (is_string_equal(kind, "topic")) {
      ++model.topic_count;
      texts.add(topics, id, texts.shown(member(entity, "name")), entity);
    } else if (is_string_equal(kind, "node")) {
      ++model.node_count;
      texts.add(nodes, id, texts.shown(member(entity, "name")), entity);
    }
  }
}

// Groups the edges by node and by topic: the groups are counted first, then filled, so that all
// edges share one array.
ConnectionIndex index_connections(std::span<const Json> edges, RowTexts& texts) {
  ConnectionIndex index;
  std::vector<std::uint32_t> counts;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> groups_of_edge;
  groups_of_edge.reserve(edges.size());
  const auto group = [&](TextMap& groups, std::string_view name) {
    const auto [found, added] = groups.try_emplace(name, static_cast<std::uint32_t>(counts.size()));
    if (added) {
      counts.push_back(0);
    }
    ++counts[found];
    return found;
  };
  for (const Json& edge : edges) {
    const std::uint32_t node = group(index.nodes, texts.shown(member(edge, "node")));
    const std::uint32_t topic = group(index.topics, texts.shown(member(edge, "topic")));
    groups_of_edge.emplace_back(node, topic);
  }
  index.starts.resize(counts.size() + 1);
  for (std::size_t g = 0; g < counts.size(); ++g) {
    index.starts[g + 1] = index.starts[g] + counts[g];
  }
  std::vector<std::uint32_t> next(index.starts.begin(), index.starts.end() - 1);
  index.edges.resize(index.starts.back());
  for (std::size_t i = 0; i < edges.size(); ++i) {
    index.edges[next[groups_of_edge[i].first]++] = &edges[i];
    index.edges[next[groups_of_edge[i].second]++] = &edges[i];
  }
  return index;
}

void add_change_rows(const SessionModel& model, RowTexts& texts, RowList& list) {
  const auto changes = array_of(member_path(model.root(), {"comparison", "changes"}));
  if (!changes) {
    return;
  }
  for (const Json& change : *changes) {
    std::string label = pad_right(value_display_text(member(change, "status")), 7);
    label += ' ';
    label += value_display_text(member(change, "name"));
    texts.add(list, texts.shown(member(change, "id")), texts.keep(label), change);
  }
}

void add_result_rows(const SessionModel& model, RowTexts& texts, RowList& list) {
  const auto runs = array_of(member(model.root(), "runs"));
  if (!runs) {
    return;
  }
  for (std::size_t position = 0; position < runs->size(); ++position) {
    const Json& run = (*runs)[position];
    const std::string key = run_key(run, position);
    texts.add(list, texts.keep(row_id(RowKind::run, key)),
              texts.keep(fmt::format("[{}] {}", value_display_text(member(run, "status")),
                                     value_display_text(member(run, "title")))),
              run);
    if (const auto stages = array_of(member(run, "stages"))) {
      for (std::size_t i = 0; i < stages->size(); ++i) {
        const Json& stage = (*stages)[i];
        texts.add(list, texts.keep(row_id(RowKind::check, fmt::format("{}:{}", key, i))),
                  texts.keep(fmt::format("  [{}] {}", value_display_text(member(stage, "status")),
                                         value_display_text(member(stage, "label")))),
                  stage);
      }
    }
  }
}

void add_project_rows(const SessionModel& model, RowTexts& texts, RowList& list) {
  const Json& root = model.root();
  texts.add(list, project_summary_id, "Project / saved profile", member(root, "project"));
  const Json& task = member(root, "task");
  if (!task.is_object()) {
    return;
  }
  texts.add(list, task_history_id, "Task history / evidence freshness", task);
  const auto experiments = array_of(member(task, "experiments"));
  if (!experiments) {
    return;
  }
  const Json& active = member(root, "active_experiment_id");
  for (const Json& experiment : *experiments) {
    const Json& id = member(experiment, "id");
    const Json& result = member(experiment, "result");
    std::string state =
        result.is_null() ? "planned" : value_display_text(member(result, "outcome"));
    std::string label = fmt::format("{} [{}] {}", !active.is_null() && id == active ? "●" : " ",
                                    state, value_display_text(member(experiment, "hypothesis")));
    texts.add(list, texts.keep(row_id(RowKind::experiment, value_display_text(id))),
              texts.keep(label), experiment);
  }
}

SessionModel build_side(DocumentPtr document, Side side) {
  SessionModel model;
  model.document = std::move(document);
  model.side = side;
  const Json& root = model.root();
  const Json& capture = model.shown_capture();
  JsonArena& arena = *model.arena;
  RowTexts texts(arena);

  if (const auto entities =
          array_of(member(root, side == Side::baseline ? "baseline_entities" : "entities"))) {
    add_entities(model, *entities, texts);
  }
  if (const auto edges = array_of(member_path(capture, {"graph", "edges"}))) {
    model.connections = index_connections(*edges, texts);
  }
  model.problems = problem_list(root, arena);

  add_health_rows(model, texts, list_of(model, ListKind::health));
  RowList& tf = list_of(model, ListKind::tf);
  for (const Row& row : build_tf_rows(member(capture, "tf"), arena)) {
    tf.add(row, texts.lowered(row.label), texts.lowered(row.id));
  }
  add_change_rows(model, texts, list_of(model, ListKind::changes));
  add_result_rows(model, texts, list_of(model, ListKind::results));
  add_project_rows(model, texts, list_of(model, ListKind::project));
  // The lists grew by doubling; two models of a large document are alive across a reload.
  for (RowList& list : model.lists) {
    list.rows.shrink_to_fit();
    list.search_text.shrink_to_fit();
    list.search_ends.shrink_to_fit();
  }
  return model;
}

}  // namespace

std::string run_key(const Json& run, std::size_t position) {
  const auto retained = string_of(member(run, "retained_id"));
  return retained ? std::string(*retained) : std::to_string(position);
}

SessionModel build_model(DocumentPtr document) {
  return build_side(std::move(document), Side::current);
}

SessionModel show_side(const SessionModel& model, Side side) {
  return build_side(model.document, side);
}

const Json* find_entity(const SessionModel& model, std::string_view id) {
  const auto found = model.id_index.find(id);
  return found ? model.entities[*found] : nullptr;
}

std::span<const Json* const> ConnectionIndex::of(std::string_view id) const {
  const auto group_of = [&](const TextMap& groups,
                            std::string_view name) -> std::span<const Json* const> {
    const auto found = groups.find(name);
    if (!found) {
      return {};
    }
    return std::span(edges).subspan(starts[*found], starts[*found + 1] - starts[*found]);
  };
  if (const auto node = name_of(id, RowKind::node)) {
    return group_of(nodes, *node);
  }
  if (const auto topic = name_of(id, RowKind::topic)) {
    return group_of(topics, *topic);
  }
  return {};
}

std::size_t connection_count(const SessionModel& model, std::string_view id) {
  return model.connections.of(id).size();
}

std::vector<Connection> connections_of(const SessionModel& model, std::string_view id) {
  std::vector<Connection> connections;
  const std::span<const Json* const> edges = model.connections.of(id);
  const bool is_topic = kind_of(id) == RowKind::topic;
  connections.reserve(edges.size());
  for (const Json* edge : edges) {
    const std::string node = value_display_text(member(*edge, "node"));
    const std::string topic = value_display_text(member(*edge, "topic"));
    Connection connection;
    connection.id = is_topic ? row_id(RowKind::node, node) : row_id(RowKind::topic, topic);
    connection.label = is_string_equal(member(*edge, "direction"), "pub")
                           ? node + "  ──▶  " + topic
                           : topic + "  ──▶  " + node;
    connection.edge = edge;
    connections.push_back(std::move(connection));
  }
  return connections;
}

}  // namespace qm
