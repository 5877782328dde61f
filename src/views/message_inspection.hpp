#pragma once

#include <string>
#include <string_view>

#include "json/json_access.hpp"

namespace qm {

// The bounded message sample the user asked for with `i`, when the document's inspection is of
// the topic `row_id` on the capture side shown; else a line saying there is none.
std::string message_inspection_section(const Json& document, std::string_view row_id,
                                       bool baseline_shown);

}  // namespace qm
