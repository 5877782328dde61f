#pragma once

#include "views/detail_page.hpp"

namespace qm {

// Playback: the recording and the player's position.
DetailPage playback_page(const AppState& state);

}  // namespace qm
