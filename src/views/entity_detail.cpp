#include "views/entity_detail.hpp"

#include "model/answers.hpp"
#include "model/row_id.hpp"
#include "text/text.hpp"
#include "text/value_text.hpp"
#include "views/answer_headings.hpp"
#include "views/graph_detail.hpp"
#include "views/message_inspection.hpp"
#include "views/observation_text.hpp"
#include "views/topic_rates.hpp"

namespace qm {

namespace {

constexpr std::string_view no_mapping =
    "Unknown: no source declaration linked to this captured entity.\n";

// Nodes read their clock from the shown capture; the parameter read's status is the current one.
std::string clock_line(const AppState& state) {
  const std::string_view id = state.selected_id;
  const std::string_view name = name_of(id, RowKind::node).value_or(id);
  const Json& graph = member(state.model.shown_capture(), "graph");
  const ClockReading reading = clock_reading(graph, name);
  switch (reading) {
    case ClockReading::sim_time:
    case ClockReading::wall_time:
      return std::string("\nCLOCK  use_sim_time: ") +
             (reading == ClockReading::sim_time ? "true" : "false") + " · read by Quillmesh (" +
             value_display_text(
                 member_path(state.document(), {"current", "graph", "parameters_status"})) +
             ")\n";
    case ClockReading::unanswered:
      return "\nCLOCK  use_sim_time unknown: the node did not answer the parameter read\n";
    case ClockReading::stale: {
      const double age = number_of(member_path(state.document(),
                                               {"current", "graph", "parameters_stale", "age_s"}))
                             .value_or(0);
      return "\nCLOCK  last value is stale (" + format_fixed(age, 0) +
             " s old); not used for findings\n";
    }
    case ClockReading::not_read:
      break;
  }
  return "\nCLOCK  not read for this node\n";
}

void append_source_mapping(std::string& out, const AppState& state, const Json* entity) {
  out += "\nSOURCE MAPPING\n";
  if (entity != nullptr && !member(*entity, "project_mapping").is_null()) {
    out += outline_text(member(*entity, "project_mapping"));
    return;
  }
  const Json& mapping =
      member(member_path(state.document(), {"project", "source_mappings"}), state.selected_id);
  if (!state.baseline_shown() && !mapping.is_null()) {
    out += outline_text(mapping);
    return;
  }
  out += no_mapping;
}

// The result of the last configuration diff (Nodes) or message-time TF query (Topics), when it
// is about the selected entity.
void append_on_demand_observation(std::string& out, const AppState& state) {
  if (state.baseline_shown()) {
    out += "\nDevelopment observations belong to the current selection only.\n";
    return;
  }
  const RequestAction action =
      state.view == View::nodes ? RequestAction::config_diff : RequestAction::message_tf;
  const Json& observation = answer_about(state.document(), action, state.selected_id);
  out += "\n";
  out += answer_heading(action);
  out += "\n";
  if (!observation.is_null()) {
    out += outline_text(observation);
  } else {
    out += "No observation for this selection.\n";
  }
}

void append_connection_qos(std::string& out, const AppState& state,
                           const std::vector<Connection>& connections) {
  out += "\nCONNECTIONS / captured QoS\n";
  for (std::size_t i = 0; i < connections.size(); ++i) {
    out += state.connection_cursor == i ? "› " : "  ";
    out += connections[i].label;
    out += "\n  Type: " + value_display_text(member(*connections[i].edge, "type")) + "\n  QoS:\n";
    out += outline_text(member(*connections[i].edge, "qos"));
    out += '\n';
  }
}

std::string topic_or_node_text(const AppState& state, const Row* row) {
  const bool topics = state.view == View::topics;
  const std::vector<Connection> connections = connections_of(state.model, state.selected_id);
  std::string out = state.selected_id + "\n" + graph_line(state.model.shown_capture()) + "\n";
  if (!state.baseline_shown()) {
    if (topics && row != nullptr) {
      out += live_rate_section(state.document(), *row, false);
    } else if (!topics) {
      out += clock_line(state);
    }
  }
  if (topics) {
    out += message_inspection_section(state.document(), state.selected_id, state.baseline_shown());
  }

  out += "\nCONNECTIONS AND ENTITY METADATA\n";
  out += connection_line(state, connections);
  if (row != nullptr) {
    const Json& details = member(*row->value, "details");
    if (topics) {
      out += "Observed endpoints: " + value_display_text(member(details, "publisher_count")) +
             " publishers · " + value_display_text(member(details, "subscriber_count")) +
             " subscribers (discovery completeness unknown)\n";
    }
    out += outline_text(details);
  }
  append_source_mapping(out, state, find_entity(state.model, state.selected_id));
  append_on_demand_observation(out, state);
  append_connection_qos(out, state, connections);
  out += "\nMessage/frame mapping: unknown\n";
  out += "Tab, ↑/↓ select connection; Enter follows; Backspace returns.";
  return out;
}

// A row kept from an earlier capture: what it was, and that the latest graph lacks it.
std::string retained_row_text(const AppState& state, const Row& row) {
  std::string out = state.selected_id;
  out += "\nUnavailable in latest graph capture. Selection retained for comparison.\n";
  out += graph_line(state.model.shown_capture());
  out += '\n';
  if (state.view == View::topics) {
    out += message_inspection_section(state.document(), state.selected_id, state.baseline_shown());
  }
  out += "\nPrior row evidence: ";
  out += outline_text(*row.value);
  return out;
}

std::string tf_text(const Row* row) {
  if (row == nullptr) {
    return "No TF capture available.";
  }
  return std::string(row->label) + "\n\n" + outline_text(*row->value) +
         "\nTF captures describe connectivity and observed rate, not spatial transform values. "
         "Cycles and multiple parents remain visible in edge details.";
}

}  // namespace

std::string connection_line(const AppState& state, const std::vector<Connection>& connections) {
  if (!state.connection_cursor || *state.connection_cursor >= connections.size()) {
    return {};
  }
  return "Connection " + std::to_string(*state.connection_cursor + 1) + "/" +
         std::to_string(connections.size()) + ": " + connections[*state.connection_cursor].label +
         "\nTab + ↑/↓ choose; Enter follows\n\n";
}

DetailPage entity_page(const AppState& state, const Row* row) {
  if (state.view == View::tf) {
    return {inspector_title, tf_text(row)};
  }
  if (row != nullptr && row->id == state.selected_id &&
      is_true(member(*row->value, "observation_unavailable"))) {
    return {inspector_title, retained_row_text(state, *row)};
  }
  if (state.view == View::graph) {
    return {inspector_title, graph_detail_text(state)};
  }
  return {inspector_title, topic_or_node_text(state, row)};
}

}  // namespace qm
