#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "app/core/view.hpp"
#include "tui/text.hpp"

namespace qm {

// A key and what it does, as the footer shows it.
struct KeyHint {
  std::string_view key;
  std::string_view label;
};

// The hints of `view`, without the global ones that follow them.
std::vector<KeyHint> view_hints(View view);

// The footer line of a row `width` columns wide: the view's hints, a rule, then the global hints,
// ending before the first hint that does not fit.
tui::Line footer_line(View view, uint16_t width);

}  // namespace qm
