#pragma once

#include <string_view>
#include <vector>

#include "model/list_order.hpp"
#include "model/session_model.hpp"
#include "model/view.hpp"

namespace qm {

// The rows of `view`, narrowed by the search text (matched, lower-cased, against the label and
// then the id) and, in Results, by the status filter, then put in `order` where the view sorts.
std::vector<Row> build_view_rows(const SessionModel& model, View view, std::string_view search,
                                 ResultsFilter results_filter,
                                 ListOrder order = ListOrder::document);

}  // namespace qm
