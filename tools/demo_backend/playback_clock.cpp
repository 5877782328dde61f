#include "playback_clock.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>

#include "stable_numbers.hpp"

namespace qm::demo {

namespace {

constexpr std::size_t log_tail_lines = 8;

}  // namespace

bool advance_playback(DemoState& state, const Instant& now) {
  const double elapsed = std::max(0.0, now.steady_s - state.playback_tick_s);
  state.playback_tick_s = now.steady_s;
  nlohmann::json& playback = state.document["runtime"]["playback"];
  if (playback.value("state", "") != "playing" || elapsed == 0.0) {
    return false;
  }
  const double duration = playback["recording"].value("duration_s", 0.0);
  const double position = playback.value("position_s", 0.0);
  const double moved = std::min(position + elapsed, duration);
  playback["position_s"] = round_to(moved, 3);
  if (moved >= duration) {
    playback["state"] = "stopped";
    playback["position"]["basis"] = "end of the recording";
    note_player_log(state, now, "Playback finished at the end of the recording.");
  }
  return true;
}

void note_player_log(DemoState& state, const Instant& now, const std::string& text) {
  nlohmann::json& tail = state.document["runtime"]["playback"]["log_tail"];
  if (!tail.is_array()) {
    tail = nlohmann::json::array();
  }
  tail.push_back(fmt::format("[INFO] [{:.9f}] [rosbag2_player]: {}", now.wall_s, text));
  while (tail.size() > log_tail_lines) {
    tail.erase(tail.begin());
  }
}

}  // namespace qm::demo
