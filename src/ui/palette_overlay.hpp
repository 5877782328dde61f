#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "model/app_state.hpp"
#include "model/palette_candidates.hpp"
#include "tui/buffer.hpp"
#include "tui/geometry.hpp"
#include "tui/line.hpp"

namespace qm {

// The lines of the open palette at an inner width of `width` columns: the query with its cursor,
// a rule, one line per entry (label left, kind and key right, the selected one highlighted) or a
// note that nothing matches, an empty line and the key hint.
std::vector<tui::Line> palette_lines(const PaletteState& open_palette,
                                     std::span<const PaletteCandidate> matches, uint16_t width);

// Draws the command palette, sized to its matches, over the top of `area`.
void draw_command_palette(tui::Buffer& buffer, tui::Rect area, const AppState& state);

}  // namespace qm
