#pragma once

#include <string>

#include "model/app_state.hpp"

namespace qm {

// The selected topic's publishers and subscribers as a diagram and as full connection names.
std::string graph_detail_text(const AppState& state);

}  // namespace qm
