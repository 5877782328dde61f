#pragma once

#include <cstddef>
#include <string>

#include "model/app_state.hpp"

namespace qm {

// The entity counts the summary has already taken from the catalogue.
struct GraphCounts {
  std::size_t nodes = 0;
  std::size_t topics = 0;
};

// Appends the workspace banner that ends the health summary: mode, backend, launch and readiness,
// session, launch failure signals, times and counts, notice, recorder, backend error and capture
// warnings.
void append_health_banner(std::string& out, const AppState& state, GraphCounts counts);

}  // namespace qm
