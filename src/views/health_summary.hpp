#pragma once

#include "views/detail_page.hpp"

namespace qm {

// Health: the selected problem's page, or the summary of the whole system.
DetailPage health_page(const AppState& state, const Row* row);

}  // namespace qm
