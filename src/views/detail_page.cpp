#include "views/detail_page.hpp"

#include "text/value_text.hpp"
#include "views/capture_detail.hpp"
#include "views/changes_detail.hpp"
#include "views/entity_detail.hpp"
#include "views/health_summary.hpp"
#include "views/playback_detail.hpp"
#include "views/project_detail.hpp"
#include "views/results_detail.hpp"

namespace qm {

DetailPage detail_page(const AppState& state) {
  const Row* row = state.selected_row();
  if (state.raw_view) {
    return {"Raw evidence", indented_json_text(row != nullptr ? *row->value : state.document())};
  }
  switch (state.view) {
    case View::health:
      return health_page(state, row);
    case View::graph:
    case View::topics:
    case View::nodes:
    case View::tf:
      return entity_page(state, row);
    case View::changes:
      return changes_page(state, row);
    case View::results:
      return results_page(state, row);
    case View::playback:
      return playback_page(state);
    case View::capture:
      return capture_page(state);
    case View::project:
      return project_page(state, row);
  }
  return {};
}

}  // namespace qm
