#pragma once

#include "model/app_state.hpp"

namespace qm {

enum class SeekTarget : unsigned char { start, back, forward };

// Asks the owned player to seek: to the start, or five seconds back or forward from the reported
// position (or from a seek written that the document does not yet report), kept within the
// recording. Refuses with a status message when the player cannot seek
// or the duration or position is unknown.
void seek_playback(AppState& state, SeekTarget target);

}  // namespace qm
