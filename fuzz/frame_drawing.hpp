#pragma once

#include <array>
#include <cstdint>

#include "model/app_state.hpp"
#include "tui/buffer.hpp"
#include "tui/terminal.hpp"
#include "ui/frame.hpp"

namespace qm::fuzz {

// The frame sizes every state is drawn at: a single cell, too small for any pane, just below the
// wide layout, and a large screen.
inline constexpr std::array<tui::Size, 4> frame_sizes = {{{1, 1}, {33, 5}, {99, 30}, {200, 60}}};

// Draws the state into a fresh buffer of `size`, as the viewer does.
inline void draw_at(AppState& state, tui::Size size) {
  tui::Buffer buffer(tui::Rect{0, 0, size.width, size.height});
  tui::Frame frame(buffer);
  state.record_frame_size(size);
  draw_frame(frame, state);
}

}  // namespace qm::fuzz
