#pragma once

#include "views/detail_page.hpp"

namespace qm {

// Changes: the selected structural change against the baseline.
DetailPage changes_page(const AppState& state, const Row* row);

}  // namespace qm
