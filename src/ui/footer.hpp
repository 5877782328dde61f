#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "model/key_bindings.hpp"
#include "model/view.hpp"
#include "tui/line.hpp"

namespace qm {

// The footer line of a row `width` columns wide: the view's hints, a rule, then the global hints.
// When they do not all fit the least important are left out: the other global hints first, then
// the view's own from the last, while "? keys" and "q quit" stay longest; a later, smaller hint
// may still take the room a larger one left.
tui::Line footer_line(View view, uint16_t width);

}  // namespace qm
