#include "views/message_inspection.hpp"

#include <optional>
#include <set>
#include <vector>

#include "json/json_edit.hpp"
#include "text/text.hpp"
#include "text/value_text.hpp"
#include "views/answer_headings.hpp"

namespace qm {

namespace {

bool applies(const Json& inspection, std::string_view row_id, bool baseline_shown) {
  return is_string_equal(member(inspection, "entity_id"), row_id) &&
         is_string_equal(member(inspection, "side"), baseline_shown ? "baseline" : "current");
}

// The distinct frame ids of the sampled messages, in byte order.
std::string frames_text(std::span<const Json> messages) {
  std::set<std::string_view> frames;
  for (const Json& message : messages) {
    if (const auto frame = string_of(member_path(message, {"header", "frame_id"}))) {
      frames.insert(*frame);
    }
  }
  if (frames.empty()) {
    return "unknown";
  }
  std::string out;
  for (const std::string_view frame : frames) {
    if (!out.empty()) {
      out += ", ";
    }
    out += display_safe(frame);
  }
  return out;
}

// The inspection without its sampled messages, which are shown on their own.
std::string provenance_outline(const Json& inspection) {
  std::vector<JsonMember> peek_members;
  std::vector<JsonMember> observation_members;
  std::vector<JsonMember> inspection_members;
  const Json& observations = member(inspection, "observations");
  const Json peek =
      with_member(member(observations, "peek"), "messages", std::nullopt, peek_members);
  const Json trimmed_observations = with_member(observations, "peek", peek, observation_members);
  return outline_text(
      with_member(inspection, "observations", trimmed_observations, inspection_members));
}

std::string inspection_body(const Json& inspection) {
  const std::span<const Json> messages =
      array_of(member_path(inspection, {"observations", "peek", "messages"}))
          .value_or(std::span<const Json>{});
  const Json& graph_observed = member(inspection, "graph_observed_at");
  std::string out = "Outcome: " + value_display_text(member(inspection, "status")) +
                    " · sample count: " + std::to_string(messages.size()) +
                    " · frame: " + frames_text(messages) + "\n";
  out += "Inspection requested: " + value_display_text(member(inspection, "requested_at")) +
         " · started: " + value_display_text(member(inspection, "started_at")) +
         " · finished: " + value_display_text(member(inspection, "finished_at")) + "\n";
  out += "Graph observed: " +
         (graph_observed.is_null() ? std::string("unknown (not recorded for this inspection)")
                                   : value_display_text(graph_observed) + " s Unix wall time") +
         " (separate observation)\n";
  out += "Discovery completeness: unknown\n";
  if (!messages.empty()) {
    out += "\nSAMPLED VALUES\n";
    out += outline_text(member_path(inspection, {"observations", "peek", "messages"}));
  }

  bool errors_titled = false;
  if (const auto error = string_of(member(inspection, "collection_error"))) {
    out += "\nINSPECTION ERRORS\nCollection worker: " + display_safe(*error) + "\n";
    errors_titled = true;
  }
  const Json& errors = member(inspection, "errors");
  const bool empty_object = errors.is_object() && errors.object().empty();
  if (!errors.is_null() && !empty_object) {
    // The title is written once, also when the collection error is not a text.
    if (!errors_titled) {
      out += "\nINSPECTION ERRORS\n";
    }
    out += outline_text(errors);
  }
  out += "\nPROVENANCE AND BOUNDS\n";
  out += provenance_outline(inspection);
  return out;
}

}  // namespace

std::string message_inspection_section(const Json& document, std::string_view row_id,
                                       bool baseline_shown) {
  const Json& inspection = member(document, "inspection");
  std::string out = "\n";
  out += message_inspection_heading;
  out += '\n';
  if (applies(inspection, row_id, baseline_shown)) {
    out += inspection_body(inspection);
  } else {
    out += "No inspection for this selected topic and capture side.\n";
  }
  return out;
}

}  // namespace qm
