#include "input/clipboard.hpp"

namespace qm {

void copy_check_command(AppState& /*state*/) {}

}  // namespace qm
