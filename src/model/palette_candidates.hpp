#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "model/app_state.hpp"

namespace qm {

// One entry the command palette offers: the text ranked and shown, the key that does the same
// (empty for problems, entities and frames), what it is, and what choosing it does: switch to a
// view, press a key, or go to an entity id.
struct PaletteCandidate {
  std::string label;
  std::string hint;
  std::string_view kind;
  std::variant<View, char32_t, std::string> choice;
};

inline constexpr std::size_t palette_match_limit = 12;

// The candidates that match `query`, best first, at most `palette_match_limit`. Views and
// commands are always candidates; problems, nodes, topics and frames only once the query holds
// more than white space. A label that begins with the query ranks first, then one whose last
// path segment does, then one that merely contains it; ties go to the shorter label.
std::vector<PaletteCandidate> palette_matches(const AppState& state, std::string_view query);

}  // namespace qm
