#pragma once

#include <string>

#include "json/json_access.hpp"

namespace qm {

// The detail text of one problem item: a launch problem's evidence, or a graph finding's
// severity, QoS profiles, explanation, fix, verify command and next steps.
std::string problem_detail_text(const Json& item);

}  // namespace qm
