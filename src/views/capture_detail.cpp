#include "views/capture_detail.hpp"

#include "text/value_text.hpp"

namespace qm {

namespace {

// A value text, or "none" for a member that is absent or null.
std::string or_none(const Json& value) {
  return value.is_null() ? std::string("none") : value_display_text(value);
}

void append_last_export(std::string& out, const Json& runtime) {
  out += "LAST EXPORT\n";
  const Json& feedback = member(runtime, "export_feedback");
  if (feedback.is_object()) {
    out += "Outcome: " + value_display_text(member(feedback, "status")) + "\n";
    out += "Selected: " + value_display_text(member(feedback, "entity_id")) + " (" +
           value_display_text(member(feedback, "side")) + ")\n";
    out += "Time: " + value_display_text(member(feedback, "at")) + "\n";
    out += "Destination: " + or_none(member(feedback, "path")) + "\n";
    out += "Error: " + or_none(member(feedback, "error")) + "\n";
    return;
  }
  // A session saved before export results were kept remembers only where the file went.
  const Json& saved = member(runtime, "last_export");
  if (saved.is_string()) {
    out += "Destination: " + value_display_text(saved) + "\n";
    out += "Selection: unavailable in this saved session\n";
    return;
  }
  out += "No export recorded in this session. Select an entity and press e.\n";
}

void append_section(std::string& out, std::string_view heading, const Json& value) {
  out += heading;
  out += '\n';
  out += outline_text(value, 0);
}

}  // namespace

DetailPage capture_page(const AppState& state) {
  const Json& document = state.document();
  const Json& runtime = member(document, "runtime");
  std::string text = "CAPTURE PROVENANCE\n\n";
  append_last_export(text, runtime);
  text += '\n';
  append_section(text,
                 "Current: " + value_display_text(member_path(document, {"current", "label"})),
                 member_path(document, {"current", "sources"}));
  text += '\n';
  append_section(text,
                 "Baseline: " + value_display_text(member_path(document, {"baseline", "label"})),
                 member_path(document, {"baseline", "sources"}));
  text += '\n';
  append_section(text, "Warnings", member_path(document, {"current", "warnings"}));
  text += '\n';
  append_section(text, "Comparison warnings", member_path(document, {"comparison", "warnings"}));
  text += '\n';
  append_section(text, "Runtime", runtime);
  text += "\nExport selected typed entity: e\nRaw session: v";
  return {view_name(View::capture), std::move(text)};
}

}  // namespace qm
