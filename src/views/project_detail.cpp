#include "views/project_detail.hpp"

namespace qm {

DetailPage project_page(const AppState& /*state*/, const Row* /*row*/) {
  return {inspector_title, {}};
}

}  // namespace qm
