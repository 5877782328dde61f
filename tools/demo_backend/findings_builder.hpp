#pragma once

#include <nlohmann/json.hpp>

namespace qm::demo {

// The structural changes between the baseline and the live capture, with their warnings.
nlohmann::json build_comparison(const nlohmann::json& current_entities,
                                const nlohmann::json& baseline_entities,
                                const nlohmann::json& current_tf,
                                const nlohmann::json& baseline_tf);

// The graph-check results of the live capture.
nlohmann::json build_problems(const nlohmann::json& current_capture);

}  // namespace qm::demo
