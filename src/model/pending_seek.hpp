#pragma once

#include <optional>

#include "model/app_state.hpp"

namespace qm {

// The reported playback position of `document` (`runtime.playback.position_s`), if a number.
std::optional<double> playback_position(const Json& document);

// Where the next seek starts: the offset of the seek last written while the document has not yet
// reported it and it is younger than the pending limit, else the reported position.
std::optional<double> seek_origin(const AppState& state);

// A seek line to `offset_s` was written at `state.now`: it is pending until the document reports
// a new position or the limit runs out.
void note_seek_written(AppState& state, double offset_s);

// After a reload from `before`: a changed position is the backend's answer to the pending seek.
void settle_pending_seek(AppState& state, const Json& before);

}  // namespace qm
