#pragma once

#include <string>

#include "json/json.hpp"

namespace qm {

// How ready the owned launch (`runtime.launch`) is, in words: the display text of its
// `readiness`, except that an unknown readiness says why it is unknown, and a missing launch says
// that there is none.
std::string readiness_text(const Json& runtime_launch);

}  // namespace qm
