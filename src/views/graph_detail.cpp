#include "views/graph_detail.hpp"

#include <algorithm>

#include "model/row_id.hpp"
#include "text/text.hpp"
#include "text/value_text.hpp"
#include "views/entity_detail.hpp"
#include "views/observation_text.hpp"

namespace qm {

namespace {

constexpr std::size_t box_width = 18;
constexpr std::string_view arrow = " ─▶ ";
// Where a diagram line without a publisher starts its topic box.
constexpr std::size_t missing_publisher_indent = 25;

void append_box(std::string& out, std::string_view name) {
  out += '[';
  out += pad_right(truncate_middle(name, box_width), box_width);
  out += ']';
}

void append_diagram(std::string& out, const AppState& state) {
  std::vector<std::string> publishers;
  std::vector<std::string> subscribers;
  for (const Json* edge : state.model.connections.of(state.selected_id)) {
    const Json& direction = member(*edge, "direction");
    if (is_string_equal(direction, "pub")) {
      publishers.push_back(value_display_text(member(*edge, "node")));
    } else if (is_string_equal(direction, "sub")) {
      subscribers.push_back(value_display_text(member(*edge, "node")));
    }
  }
  if (publishers.empty() && subscribers.empty()) {
    out += "No captured connections for this topic.\n";
    return;
  }
  const std::string_view topic =
      name_of(state.selected_id, RowKind::topic).value_or(state.selected_id);
  std::string topic_box;
  append_box(topic_box, display_safe(topic));
  for (std::size_t i = 0; i < std::max(publishers.size(), subscribers.size()); ++i) {
    if (i < publishers.size()) {
      append_box(out, publishers[i]);
      out += arrow;
    } else {
      out.append(missing_publisher_indent, ' ');
    }
    out += topic_box;
    if (i < subscribers.size()) {
      out += arrow;
      append_box(out, subscribers[i]);
    }
    out += '\n';
  }
}

}  // namespace

std::string graph_detail_text(const AppState& state) {
  const std::vector<Connection> connections = connections_of(state.model, state.selected_id);
  std::string out = state.selected_id + "\n" + graph_line(state.model.shown_capture()) + "\n";
  out += connection_line(state, connections);
  out += "\nPUBLISHER → TOPIC → SUBSCRIBER\n\n";
  append_diagram(out, state);
  out += "\nCONNECTIONS (full names)\n";
  for (std::size_t i = 0; i < connections.size(); ++i) {
    out += state.connection_cursor == i ? "› " : "  ";
    out += connections[i].label;
    out += '\n';
  }
  out +=
      "\nOnly captured endpoint directions are shown.\n"
      "Tab, ↑/↓ select a connection; Enter follows it.\n"
      "Left/Right pans long graph lines.\n\n";
  if (const Json* entity = find_entity(state.model, state.selected_id)) {
    out += outline_text(member(*entity, "details"));
  }
  return out;
}

}  // namespace qm
