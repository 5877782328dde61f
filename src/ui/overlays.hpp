#pragma once

#include "model/app_state.hpp"
#include "model/view.hpp"
#include "tui/buffer.hpp"
#include "tui/geometry.hpp"
#include "ui/scroll_extent.hpp"

namespace qm {

// Draws the open panels over the finished frame, in this order so a later one lies on top: help,
// launch log, message log, rate history, experiment form, assistant, command palette. While any
// is open, everything below the header row is dimmed first.
void draw_overlays(tui::Buffer& buffer, const AppState& state);

// How the help text of `view` fills the help box drawn in the terminal's `area`.
ScrollExtent help_extent(tui::Rect area, View view);

}  // namespace qm
