#pragma once

#include <string_view>
#include <vector>

#include "model/session_model.hpp"
#include "model/view.hpp"

namespace qm {

// The rows of `view`, narrowed by the search text (matched, lower-cased, against the label and
// then the id) and, in Results, by the status filter.
std::vector<Row> build_view_rows(const SessionModel& model, View view, std::string_view search,
                                 ResultsFilter results_filter);

}  // namespace qm
