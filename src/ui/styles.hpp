#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "tui/buffer.hpp"
#include "tui/style.hpp"

namespace qm {

// The colour of a status word ("passed", "[FAILED]" …), or none for a word it does not know.
std::optional<tui::Color> status_colour(std::string_view word);
// The xterm 256-colour index nearest to a 24-bit colour.
uint8_t rgb_to_indexed(tui::Color colour);
// Replaces every 24-bit colour of a finished frame by its 256-colour index.
void lower_frame_colours(tui::Buffer& frame);
// True colour is on when COLORTERM is "truecolor" or "24bit", compared without ASCII case.
bool truecolour_from_colorterm(const char* colorterm);
// Colour is off when NO_COLOR is set to a non-empty value.
bool no_color_from(const char* no_color);

}  // namespace qm
