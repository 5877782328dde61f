#pragma once

#include "views/detail_page.hpp"

namespace qm {

// Project: the source inventory, saved profile, task and experiments.
DetailPage project_page(const AppState& state, const Row* row);

}  // namespace qm
