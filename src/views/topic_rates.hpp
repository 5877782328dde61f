#pragma once

#include <string>

#include "model/session_model.hpp"

namespace qm {

// What the backend measured for the topic of `row` in the current capture: rate against the
// declared bounds, counts, gaps, sizes, receipt age and stamp offset, or why it was not sampled.
// Empty while the baseline is shown.
std::string live_rate_section(const Json& document, const Row& row, bool baseline_shown);

}  // namespace qm
