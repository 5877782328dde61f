#pragma once

#include <string>
#include <string_view>

#include "model/app_state.hpp"

namespace qm {

// What the detail pane shows: its title and its text, lines separated by line feeds.
struct DetailPage {
  std::string_view title;
  std::string text;
};

// The title of the pages that describe one selected row.
inline constexpr std::string_view inspector_title = "Inspector · PgUp/PgDn";

// The page of the current view for its selected row. While raw evidence is on, the selected
// row's value (or the whole document when no row is selected) as indented JSON.
DetailPage detail_page(const AppState& state);

}  // namespace qm
