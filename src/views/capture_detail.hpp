#pragma once

#include "views/detail_page.hpp"

namespace qm {

// Capture: where the capture came from and the last export.
DetailPage capture_page(const AppState& state);

}  // namespace qm
