#pragma once

#include "model/app_state.hpp"
#include "tui/buffer.hpp"

namespace qm {

// Draws the open panels over the finished frame, in this order so a later one lies on top: help,
// launch log, experiment form, assistant, command palette. While any is open, everything below
// the header row is dimmed first.
void draw_overlays(tui::Buffer& buffer, const AppState& state);

}  // namespace qm
