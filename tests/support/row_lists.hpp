#pragma once

#include <string>
#include <vector>

#include "app/core/session_model.hpp"

namespace qm::testing {

inline std::vector<std::string> labels(const std::vector<Row>& rows) {
  std::vector<std::string> out;
  for (const Row& row : rows) out.push_back(row.label);
  return out;
}

inline std::vector<std::string> ids(const std::vector<Row>& rows) {
  std::vector<std::string> out;
  for (const Row& row : rows) out.push_back(row.id);
  return out;
}

}  // namespace qm::testing
