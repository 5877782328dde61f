#pragma once

#include <nlohmann/json.hpp>

namespace qm::demo {

// runtime.playback: a paused player of the docking recording, with per-topic lanes.
nlohmann::json build_playback();
// The evidence runs, newest first.
nlohmann::json build_runs();
// The last message inspection: three /odom samples.
nlohmann::json build_inspection();

}  // namespace qm::demo
