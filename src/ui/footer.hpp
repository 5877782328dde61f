#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "model/key_bindings.hpp"
#include "model/view.hpp"
#include "tui/line.hpp"

namespace qm {

// The footer line of a row `width` columns wide: the view's hints, a rule, then the global hints,
// ending before the first hint that does not fit.
tui::Line footer_line(View view, uint16_t width);

}  // namespace qm
