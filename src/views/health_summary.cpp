#include "views/health_summary.hpp"

#include "views/problem_detail.hpp"

namespace qm {

DetailPage health_page(const AppState& /*state*/, const Row* row) {
  if (row != nullptr && row->id.starts_with("problem:")) {
    return {"Problem · y copies the check", problem_detail_text(*row->value)};
  }
  return {"System at a glance", {}};
}

}  // namespace qm
