#pragma once

#include <string>

#include "demo_state.hpp"
#include "instant.hpp"

namespace qm::demo {

// Moves the estimated player position on by the time played since the last advance; the
// player stops at the end of the recording. True when the position moved.
bool advance_playback(DemoState& state, const Instant& now);

// Adds a line to the player's log tail, which keeps its last lines only.
void note_player_log(DemoState& state, const Instant& now, const std::string& text);

}  // namespace qm::demo
