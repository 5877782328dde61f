#pragma once

#include <string>
#include <vector>

#include "model/session_model.hpp"

namespace qm::testing {

// The labels of rows or connections.
template <typename Item>
std::vector<std::string> labels(const std::vector<Item>& items) {
  std::vector<std::string> out;
  for (const Item& item : items) out.emplace_back(item.label);
  return out;
}

// The ids of rows or connections.
template <typename Item>
std::vector<std::string> ids(const std::vector<Item>& items) {
  std::vector<std::string> out;
  for (const Item& item : items) out.emplace_back(item.id);
  return out;
}

}  // namespace qm::testing
