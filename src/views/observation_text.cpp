#include "views/observation_text.hpp"

#include <algorithm>

#include "text/value_text.hpp"

namespace qm {

std::string graph_line(const Json& capture) {
  const Json& graph = member(capture, "graph");
  if (!graph.is_object()) {
    return "Graph observation unavailable · discovery completeness unknown";
  }
  return "Graph observed: " + value_display_text(member(graph, "generated_at")) +
         " s Unix wall time · discovery completeness unknown";
}

double rates_window(const Json& rates) {
  return number_of(member(rates, "window_s")).value_or(1.0);
}

std::string rates_window_text(const Json& rates) {
  const Json& window = member(rates, "window_s");
  return window.is_number() ? format_number(window) : "1";
}

RateEntry read_rate_entry(const Json& entry) {
  RateEntry fields;
  if (!entry.is_object()) {
    return fields;
  }
  for (const JsonMember& item : entry.object()) {
    if (item.key() == "mean_rate_hz") {
      fields.mean_rate_hz = &item.value;
    } else if (item.key() == "status") {
      fields.status = &item.value;
    } else if (item.key() == "count") {
      fields.count = &item.value;
    } else if (item.key() == "expected") {
      fields.expected = &item.value;
    }
  }
  return fields;
}

void append_topic_rate_text(std::string& out, const RateEntry& entry,
                            std::string_view window_text) {
  if (const auto mean = number_of(*entry.mean_rate_hz)) {
    out += format_fixed(*mean, 1);
    out += " Hz";
    return;
  }
  const auto status = string_of(*entry.status);
  if (!status.has_value()) {
    out += "unknown";
    return;
  }
  const auto count = unsigned_of(*entry.count);
  if (count.has_value() && (*status == "silent" || *status == "measured")) {
    out += std::to_string(*count);
    out += " in ";
    out += window_text;
    out += " s";
  } else if (*status == "observer_limited") {
    out += "limited";
  } else {
    out += words_of(*status);
  }
}

std::string topic_rate_text(const Json& entry, std::string_view window_text) {
  std::string text;
  append_topic_rate_text(text, read_rate_entry(entry), window_text);
  return text;
}

ClockReading clock_reading(const Json& graph, std::string_view node) {
  const Json& sim_time = member_path(graph, {"node_parameters", node, "use_sim_time"});
  if (sim_time.is_boolean()) {
    return sim_time.boolean() ? ClockReading::sim_time : ClockReading::wall_time;
  }
  if (const auto queried = array_of(member(graph, "parameters_queried"))) {
    const bool asked = std::any_of(queried->begin(), queried->end(),
                                   [&](const Json& name) { return is_string_equal(name, node); });
    if (asked) {
      return ClockReading::unanswered;
    }
  }
  if (member_path(graph, {"parameters_stale", "values", node}).is_object()) {
    return ClockReading::stale;
  }
  return ClockReading::not_read;
}

}  // namespace qm
