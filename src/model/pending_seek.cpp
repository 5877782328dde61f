#include "model/pending_seek.hpp"

#include "model/limits.hpp"

namespace qm {

std::optional<double> playback_position(const Json& document) {
  return number_of(member_path(document, {"runtime", "playback", "position_s"}));
}

std::optional<double> seek_origin(const AppState& state) {
  if (state.pending_seek && state.now - state.pending_seek->asked_at < limits::seek_pending_for) {
    return state.pending_seek->offset_s;
  }
  return playback_position(state.document());
}

void note_seek_written(AppState& state, double offset_s) {
  state.pending_seek = PendingSeek{offset_s, state.now};
}

void settle_pending_seek(AppState& state, const Json& before) {
  if (playback_position(before) != playback_position(state.document())) {
    state.pending_seek.reset();
  }
}

}  // namespace qm
