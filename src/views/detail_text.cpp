#include "views/detail_text.hpp"

#include "text/value_text.hpp"
#include "views/problem_detail.hpp"

namespace qm {

std::string detail_text(const AppState& state) {
  const Row* row = state.selected_row();
  if (state.raw_view) {
    return indented_json_text(row != nullptr ? *row->value : state.document());
  }
  switch (state.view) {
    case View::health:
      if (row != nullptr && row->id.starts_with("problem:")) {
        return problem_detail_text(*row->value);
      }
      return {};
    case View::graph:
    case View::topics:
    case View::nodes:
    case View::tf:
    case View::changes:
    case View::results:
    case View::playback:
    case View::capture:
    case View::project:
      return {};
  }
  return {};
}

}  // namespace qm
