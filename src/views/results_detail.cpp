#include "views/results_detail.hpp"

namespace qm {

DetailPage results_page(const AppState& /*state*/, const Row* row) {
  const std::string_view id = row != nullptr ? row->id : std::string_view{};
  if (id.starts_with("run:")) {
    return {"Run", {}};
  }
  if (id.starts_with("check:")) {
    return {"Stage", {}};
  }
  return {inspector_title, {}};
}

}  // namespace qm
