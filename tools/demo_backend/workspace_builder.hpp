#pragma once

#include <nlohmann/json.hpp>

namespace qm::demo {

// The source inventory of the workspace, with candidate source declarations of entities.
nlohmann::json build_project();
// The saved profile: check, declared rates, launch, playback, ROS set-up.
nlohmann::json build_profile();
// The development task AMR-412 with its three experiments.
nlohmann::json build_task();
// The assistant, awaiting approval of a disclosure.
nlohmann::json build_assistant();

}  // namespace qm::demo
