#include "input/playback_seek.hpp"

#include <algorithm>
#include <optional>

#include "input/request_channel.hpp"
#include "model/pending_seek.hpp"

namespace qm {

namespace {

constexpr double seek_step_s = 5.0;
// The last position the player can seek to lies just before the end of the recording.
constexpr double end_margin_s = 0.001;

}  // namespace

void seek_playback(AppState& state, SeekTarget target) {
  const Json& playback = member_path(state.document(), {"runtime", "playback"});
  if (!is_true(member(playback, "seek"))) {
    state.status = "Seek unavailable: the owned player has no seek service";
    return;
  }
  const std::optional<double> duration =
      number_of(member_path(playback, {"recording", "duration_s"}));
  if (!duration || !(*duration > 0)) {
    state.status = "Seek unavailable: the recording duration is unknown";
    return;
  }
  // A seek still on its way is where the player is going: the next one adds to it.
  const std::optional<double> position = seek_origin(state);
  if (!position && target != SeekTarget::start) {
    state.status = "Position unknown; press Home to seek to the start";
    return;
  }
  double offset = 0.0;
  if (target == SeekTarget::back) {
    offset = std::max(*position - seek_step_s, 0.0);
  } else if (target == SeekTarget::forward) {
    offset = std::min(*position + seek_step_s, std::max(*duration - end_margin_s, 0.0));
  }
  send_request(state, RequestAction::seek, RequestPayload().number("offset_s", offset));
}

}  // namespace qm
