#include "views/health_banner.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <iterator>
#include <string_view>

#include "text/text.hpp"
#include "text/value_text.hpp"
#include "views/launch_readiness.hpp"
#include "views/observation_text.hpp"

namespace qm {

namespace {

constexpr std::size_t kChildFailureLimit = 4;

constexpr std::string_view kAdvice =
    "Use 0 Project to inspect source declarations and refresh after edits.\n"
    "Use 2 Graph to trace publisher → topic → subscriber.\n"
    "Use 7 Results to inspect checks, measured values and evidence.\n"
    "Use 8 Playback to operate the configured recording.\n"
    "Press L to inspect the owned launch log, ? for help.\n"
    "\n"
    "Observations do not establish source mappings, target identity or hardware safety.\n"
    "\n"
    "MANAGED RECORDER (writer lifecycle; active payload unverified until close)\n";

// Labels take 18 columns, so that the values line up.
void append_field(std::string& out, std::string_view label, const Json& value) {
  out += label;
  out += value_display_text(value);
}

std::size_t array_size(const Json& value) {
  const auto elements = array_of(value);
  return elements.has_value() ? elements->size() : 0;
}

// The session directory and its note; a note is only shown under its directory.
void append_session(std::string& out, const Json& session) {
  const auto directory = string_of(member(session, "directory"));
  if (!directory.has_value()) {
    return;
  }
  out += "\nSession           ";
  out += display_safe(*directory);
  if (const auto note = string_of(member(session, "note"))) {
    out += "\n\nSESSION NOTE\n";
    out += display_safe(*note);
    out += '\n';
  }
}

// What the patterns found in the retained launch output, with a bounded list of child failures.
void append_failure_signals(std::string& out, const Json& launch) {
  if (!launch.is_object()) {
    return;
  }
  const Json& summary = member(launch, "log_summary");
  out += "\n\nLAUNCH FAILURE SIGNALS (pattern summary; inspect L for context)\n";
  if (const auto first = string_of(member_path(summary, {"first_error", "text"}))) {
    out += "First error: ";
    out += display_safe(*first);
    out += '\n';
  } else {
    out += "First error: none identified in retained output\n";
  }
  if (const auto failures = array_of(member(summary, "child_failures"))) {
    for (const Json& failure : failures->first(std::min(failures->size(), kChildFailureLimit))) {
      out += "Child failure: ";
      out += value_display_text(member(failure, "text"));
      out += '\n';
    }
    if (failures->size() > kChildFailureLimit) {
      out += "More child failures in L launch log.\n";
    }
  }
  out +=
      "Parent state and declared readiness are shown above; log patterns do not establish "
      "readiness.\n";
}

}  // namespace

// The session and failure-signal blocks go straight after the readiness line and the graph line
// after the revision, where they belong, rather than being spliced in by searching the text: a
// session note or an error text may itself contain "Updated" or "Nodes" after a line feed.
void append_health_banner(std::string& out, const AppState& state, GraphCounts counts) {
  const Json& root = state.document();
  const Json& runtime = member(root, "runtime");
  const Json& launch = member(runtime, "launch");

  out += "QUILLMESH  /  ROBOTICS WORKSPACE\n\n";
  out += value_display_text(member_path(root, {"current", "label"}));
  out += "\n\n";
  append_field(out, "Mode              ", member(root, "mode"));
  append_field(out, "\nBackend           ", member(runtime, "status"));
  append_field(out, "\nROS distribution  ", member(runtime, "distribution"));
  append_field(out, "\nROS domain        ", member(runtime, "domain_id"));
  out += "\nLaunch            ";
  out += launch.is_object() ? value_display_text(member(launch, "state"))
                            : "none · no owned launch in this session";
  out += "\nReadiness         ";
  out += readiness_text(launch);
  append_session(out, member(runtime, "session"));
  append_failure_signals(out, launch);
  append_field(out, "\nUpdated           ", member(runtime, "updated_at"));
  append_field(out, "\nRevision          ", member(root, "revision"));
  out += '\n';
  out += graph_line(state.model.shown_capture());
  fmt::format_to(std::back_inserter(out),
                 "\n\nNodes             {}\nTopics            {}\nFrames            {}\n"
                 "Structural changes {}\nEvidence runs      {}\n\n",
                 counts.nodes, counts.topics, state.model.tf_rows().size(),
                 array_size(member_path(root, {"comparison", "changes"})),
                 array_size(member(root, "runs")));
  out += value_display_text(member(root, "notice"));
  out += "\n\n";
  out += kAdvice;
  out += outline_text(member(runtime, "recording"));
  out += "\n\nBACKEND ERROR\n";
  out += value_display_text(member(runtime, "error"));
  out += "\n\nCAPTURE WARNINGS\n";
  out += outline_text(member_path(root, {"current", "warnings"}));
}

}  // namespace qm
