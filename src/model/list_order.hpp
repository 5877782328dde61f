#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "model/session_model.hpp"
#include "model/view.hpp"

namespace qm {

// How a sortable list (Topics, Nodes) is ordered; `s` steps through them in this order.
enum class ListOrder : unsigned char { document, problems, rate, endpoints };

inline constexpr std::size_t list_order_count = 4;

constexpr std::string_view list_order_name(ListOrder order) {
  switch (order) {
    case ListOrder::document:
      return "document";
    case ListOrder::problems:
      return "problems";
    case ListOrder::rate:
      return "rate";
    case ListOrder::endpoints:
      return "endpoints";
  }
  return "document";
}

constexpr ListOrder next_list_order(ListOrder order) {
  return static_cast<ListOrder>((static_cast<std::size_t>(order) + 1) % list_order_count);
}

// Reorders the rows of `view`'s list, stably, by `order`:
// 1. problems: the most severe finding aimed at the row first (current side only), rows without
//    one last;
// 2. rate: the lowest mean rate first (a node counts the slowest topic it publishes), rows
//    without a measured rate last;
// 3. endpoints: the most publishers and subscribers first, rows without counts last.
// Document order, and views that do not sort, leave the rows as they are.
void order_rows(const SessionModel& model, View view, ListOrder order, std::vector<Row>& rows);

}  // namespace qm
