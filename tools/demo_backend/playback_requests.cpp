#include "playback_requests.hpp"

#include <fmt/format.h>

#include <algorithm>

#include "playback_clock.hpp"
#include "stable_numbers.hpp"

namespace qm::demo {

namespace {

using nlohmann::json;

json& playback_of(DemoState& state) {
  return state.document["runtime"]["playback"];
}

std::string player_state(DemoState& state) {
  return playback_of(state).value("state", "stopped");
}

void set_player(DemoState& state, const Instant& now, std::string_view player,
                std::string_view basis, std::string_view log_text, std::string_view status) {
  json& playback = playback_of(state);
  playback["state"] = player;
  playback["position"]["basis"] = basis;
  note_player_log(state, now, std::string(log_text));
  report(state, status, fmt::format("{} at {:.1f} s", status, playback.value("position_s", 0.0)));
}

constexpr std::string_view running_basis = "player clock; advances with the time played";
constexpr std::string_view paused_basis = "player clock at the last pause";

}  // namespace

void handle_play(DemoState& state, const Request&, const Instant& now) {
  advance_playback(state, now);
  const std::string current = player_state(state);
  if (current == "playing") {
    report(state, "Playback already running", "The player is already playing");
    return;
  }
  json& playback = playback_of(state);
  const double duration = playback["recording"].value("duration_s", 0.0);
  if (current == "stopped" || playback.value("position_s", 0.0) >= duration) {
    playback["position_s"] = 0.0;
  }
  set_player(state, now, "playing", running_basis, "Playback started.", "Playback started");
}

void handle_resume(DemoState& state, const Request&, const Instant& now) {
  advance_playback(state, now);
  if (player_state(state) != "paused") {
    report(state, "Nothing to resume", "The player is not paused; p starts playback");
    return;
  }
  set_player(state, now, "playing", running_basis, "Resuming play.", "Playback resumed");
}

void handle_pause(DemoState& state, const Request&, const Instant& now) {
  advance_playback(state, now);
  if (player_state(state) != "playing") {
    report(state, "Nothing to pause", "The player is not playing");
    return;
  }
  set_player(state, now, "paused", paused_basis, "Pausing play.", "Playback paused");
}

void handle_stop(DemoState& state, const Request&, const Instant& now) {
  advance_playback(state, now);
  playback_of(state)["position_s"] = 0.0;
  set_player(state, now, "stopped", "player stopped; position reset", "Playback stopped.",
             "Playback stopped");
}

void handle_seek(DemoState& state, const Request& request, const Instant& now) {
  const auto offset = request.body.find("offset_s");
  if (offset == request.body.end() || !offset->is_number()) {
    report(state, "Seek ignored", "Seek needs offset_s in seconds");
    return;
  }
  advance_playback(state, now);
  json& playback = playback_of(state);
  const double duration = playback["recording"].value("duration_s", 0.0);
  const double target = std::clamp(offset->get<double>(), 0.0, duration);
  playback["position_s"] = round_to(target, 3);
  note_player_log(state, now, fmt::format("Seeked to {:.3f} s.", target));
  report(state, fmt::format("Seeked to {:.1f} s", target),
         fmt::format("Player moved to {:.1f} s of {:.1f} s", target, duration));
}

}  // namespace qm::demo
