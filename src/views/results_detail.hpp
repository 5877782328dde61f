#pragma once

#include "views/detail_page.hpp"

namespace qm {

// Results: the selected run or stage.
DetailPage results_page(const AppState& state, const Row* row);

}  // namespace qm
