#include "views/changes_detail.hpp"

namespace qm {

DetailPage changes_page(const AppState& /*state*/, const Row* /*row*/) {
  return {inspector_title, {}};
}

}  // namespace qm
