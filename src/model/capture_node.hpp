#pragma once

#include <optional>
#include <string>

#include "model/session_model.hpp"

namespace qm {

// The name of the node the capture itself registered: the document's `problems.observer.node`
// on the current side, else the one "/vistrel_{digits}" name among the shown graph's nodes.
// None when neither gives exactly one name. The name is in display text, as row ids are.
std::optional<std::string> capture_node_name(const SessionModel& model);

}  // namespace qm
