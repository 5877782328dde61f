#include "views/playback_detail.hpp"

namespace qm {

DetailPage playback_page(const AppState& /*state*/) {
  return {view_name(View::playback), {}};
}

}  // namespace qm
