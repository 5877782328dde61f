#pragma once

#include <string>

#include "views/detail_page.hpp"

namespace qm {

// Health: the selected problem's page, or the summary of the whole system.
DetailPage health_page(const AppState& state, const Row* row);

// The summary of the whole system: the readiness verdict, what each observation found, then the
// workspace banner. Rebuilt from the document on every draw.
std::string health_summary_text(const AppState& state);

}  // namespace qm
