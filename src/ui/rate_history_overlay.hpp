#pragma once

#include "model/app_state.hpp"
#include "tui/buffer.hpp"
#include "tui/geometry.hpp"

namespace qm {

// Draws the open rate history panel over the terminal's `area` (the launch log's box): the
// topic's kept rates as bars, newest at the right, against its declared bounds, the figures of
// the kept window and the sample under the cursor. While the baseline is shown, or before two
// samples were kept, a sentence says why there is no chart.
void draw_rate_history(tui::Buffer& buffer, tui::Rect area, const AppState& state);

}  // namespace qm
