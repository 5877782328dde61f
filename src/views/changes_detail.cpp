#include "views/changes_detail.hpp"

#include "text/value_text.hpp"

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
  text += "\n\nBASELINE\n";
  text += outline_text(member(change, "before"), 0);
  text += "\nCURRENT\n";
  text += outline_text(member(change, "after"), 0);
  text += "\nComparison warnings\n";
  text += outline_text(warnings, 0);
  return {inspector_title, std::move(text)};
}

}  // namespace qm
