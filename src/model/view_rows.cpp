#include "model/view_rows.hpp"

#include <algorithm>

#include "model/row_id.hpp"
#include "text/text.hpp"
#include "text/value_text.hpp"

namespace qm {

namespace {

// Whether each row's label or id contains `lowered_search`.
std::vector<bool> matching_rows(const RowList& list, std::string_view lowered_search) {
  std::vector<bool> kept(list.rows.size(), lowered_search.empty());
  if (!lowered_search.empty()) {
    list.for_each_match(lowered_search,
                        [&](std::size_t index, std::size_t) { kept[index] = true; });
  }
  return kept;
}

// The document writes both the short and the past-tense form of a verdict ("pass"/"passed",
// "fail"/"failed"); a filter keeps either.
bool matches_results_filter(const Row& row, ResultsFilter filter) {
  if (filter == ResultsFilter::all) {
    return true;
  }
  const std::string status = value_display_text(member(*row.value, "status"));
  const std::string_view name = results_filter_name(filter);
  if (status == name) {
    return true;
  }
  return (filter == ResultsFilter::pass && status == "passed") ||
         (filter == ResultsFilter::fail && status == "failed");
}

// Keeps a run row whenever one of the rows under it, up to the next run row, is kept.
std::vector<Row> keep_runs_above_kept_checks(const std::vector<Row>& rows,
                                             const std::vector<bool>& kept) {
  std::vector<Row> out;
  std::size_t run_start = 0;
  bool run_pending = false;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (kind_of(rows[i].id) == RowKind::run) {
      run_start = i;
      run_pending = !kept[i];
      if (kept[i]) {
        out.push_back(rows[i]);
      }
      continue;
    }
    if (kept[i]) {
      if (run_pending) {
        out.push_back(rows[run_start]);
        run_pending = false;
      }
      out.push_back(rows[i]);
    }
  }
  return out;
}

std::vector<Row> filtered_rows(const SessionModel& model, View view, std::string_view search,
                               ResultsFilter results_filter) {
  const ListKind kind = list_kind_of(view);
  if (kind == ListKind::none) {
    return {};
  }
  const RowList& list = model.list(kind);
  const bool results_filtered = view == View::results && results_filter != ResultsFilter::all;
  if (search.empty() && !results_filtered) {
    return list.rows;
  }
  std::vector<bool> kept = matching_rows(list, lowercase_full(search));
  if (view == View::results) {
    for (std::size_t i = 0; i < list.rows.size(); ++i) {
      kept[i] = kept[i] && matches_results_filter(list.rows[i], results_filter);
    }
    return keep_runs_above_kept_checks(list.rows, kept);
  }
  std::vector<Row> out;
  for (std::size_t i = 0; i < list.rows.size(); ++i) {
    if (kept[i]) {
      out.push_back(list.rows[i]);
    }
  }
  return out;
}

}  // namespace

std::vector<Row> build_view_rows(const SessionModel& model, View view, std::string_view search,
                                 ResultsFilter results_filter, ListOrder order) {
  std::vector<Row> rows = filtered_rows(model, view, search, results_filter);
  order_rows(model, view, order, rows);
  return rows;
}

}  // namespace qm
