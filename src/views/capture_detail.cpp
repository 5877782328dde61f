#include "views/capture_detail.hpp"

namespace qm {

DetailPage capture_page(const AppState& /*state*/) {
  return {view_name(View::capture), {}};
}

}  // namespace qm
