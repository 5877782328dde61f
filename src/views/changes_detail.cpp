#include "views/changes_detail.hpp"

#include "text/value_text.hpp"
#include "views/changed_fields.hpp"

namespace qm {

DetailPage changes_page(const AppState& state, const Row* row) {
  const Json& warnings = member_path(state.document(), {"comparison", "warnings"});
  std::string text;
  if (row == nullptr) {
    text = "No structural changes available.\n\n";
    text += outline_text(warnings, 0);
    return {inspector_title, std::move(text)};
  }
  const Json& change = *row->value;
  text = value_display_text(member(change, "status"));
  text += "  ";
  text += row->id;
  text += "\n\n";
  const Json& before = member(change, "before");
  const Json& after = member(change, "after");
  // An added or removed entity has nothing to compare with.
  if (!before.is_null() && !after.is_null()) {
    text += changed_fields_text(before, after);
    text += '\n';
  }
  text += "BASELINE\n";
  text += outline_text(before, 0);
  text += "\nCURRENT\n";
  text += outline_text(after, 0);
  text += "\nComparison warnings\n";
  text += outline_text(warnings, 0);
  return {inspector_title, std::move(text)};
}

}  // namespace qm
