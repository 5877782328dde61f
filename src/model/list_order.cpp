#include "model/list_order.hpp"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>

#include "model/problem_list.hpp"
#include "model/row_id.hpp"
#include "text/value_text.hpp"

namespace qm {

namespace {

// Rows without a finding sort after every row with one.
constexpr int no_problem = std::numeric_limits<int>::max();

// The most severe rank of the findings aimed at each row id; none while the baseline is shown,
// since the findings describe the current capture.
std::unordered_map<std::string, int> finding_ranks(const SessionModel& model) {
  std::unordered_map<std::string, int> ranks;
  if (model.baseline_shown()) {
    return ranks;
  }
  const auto findings = array_of(member_path(model.root(), {"problems", "findings"}));
  if (!findings) {
    return ranks;
  }
  for (const Json& finding : *findings) {
    const Json& target = member(finding, "target");
    if (!target.is_string() || !member(finding, "severity").is_string()) {
      continue;
    }
    const int rank = severity_rank(finding);
    const auto [entry, added] = ranks.try_emplace(value_display_text(target), rank);
    if (!added) {
      entry->second = std::min(entry->second, rank);
    }
  }
  return ranks;
}

std::optional<double> topic_rate(const Json& rates, std::string_view topic) {
  return number_of(member(member(member(rates, "topics"), topic), "mean_rate_hz"));
}

// A topic's measured mean rate; a node's is the slowest of the topics it publishes.
std::optional<double> row_rate(const Json& rates, const Row& row) {
  if (const auto topic = name_of(row.id, RowKind::topic)) {
    return topic_rate(rates, *topic);
  }
  std::optional<double> slowest;
  if (const auto published = array_of(member_path(*row.value, {"details", "publishes"}))) {
    for (const Json& name : *published) {
      const auto topic = string_of(name);
      const auto rate = topic ? topic_rate(rates, *topic) : std::nullopt;
      if (rate && (!slowest || *rate < *slowest)) {
        slowest = rate;
      }
    }
  }
  return slowest;
}

// Publishers plus subscribers of a topic, publications plus subscriptions of a node; none when
// the entity gives neither count.
std::optional<std::uint64_t> endpoint_count(const Row& row) {
  const bool topic = kind_of(row.id) == RowKind::topic;
  const Json& details = member(*row.value, "details");
  const auto first = unsigned_of(member(details, topic ? "publisher_count" : "publication_count"));
  const auto second =
      unsigned_of(member(details, topic ? "subscriber_count" : "subscription_count"));
  if (!first && !second) {
    return std::nullopt;
  }
  return first.value_or(0) + second.value_or(0);
}

template <typename Key>
void sort_by(std::vector<Row>& rows, const std::vector<Key>& keys) {
  std::vector<std::size_t> positions(rows.size());
  for (std::size_t i = 0; i < positions.size(); ++i) {
    positions[i] = i;
  }
  std::stable_sort(positions.begin(), positions.end(),
                   [&](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
  std::vector<Row> sorted;
  sorted.reserve(rows.size());
  for (const std::size_t position : positions) {
    sorted.push_back(std::move(rows[position]));
  }
  rows = std::move(sorted);
}

}  // namespace

void order_rows(const SessionModel& model, View view, ListOrder order, std::vector<Row>& rows) {
  if (!traits_of(view).sorts) {
    return;
  }
  switch (order) {
    case ListOrder::document:
      return;
    case ListOrder::problems: {
      const auto ranks = finding_ranks(model);
      std::vector<int> keys;
      keys.reserve(rows.size());
      for (const Row& row : rows) {
        const auto found = ranks.find(std::string(row.id));
        keys.push_back(found != ranks.end() ? found->second : no_problem);
      }
      sort_by(rows, keys);
      return;
    }
    case ListOrder::rate: {
      const Json& rates = member(model.shown_capture(), "rates");
      // Rows without a rate after every row with one.
      std::vector<std::pair<bool, double>> keys;
      keys.reserve(rows.size());
      for (const Row& row : rows) {
        const auto rate = row_rate(rates, row);
        keys.emplace_back(!rate, rate.value_or(0));
      }
      sort_by(rows, keys);
      return;
    }
    case ListOrder::endpoints: {
      // The most endpoints first: sorted on the negated count, rows without counts after.
      std::vector<std::pair<bool, std::uint64_t>> keys;
      keys.reserve(rows.size());
      for (const Row& row : rows) {
        const auto count = endpoint_count(row);
        keys.emplace_back(!count, std::numeric_limits<std::uint64_t>::max() - count.value_or(0));
      }
      sort_by(rows, keys);
      return;
    }
  }
}

}  // namespace qm
