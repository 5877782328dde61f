#pragma once

#include "request.hpp"

namespace qm::demo {

// save_view: remembers the viewer's view, filter and selection for the next start.
void handle_save_view(DemoState& state, const Request& request, const Instant& now);
// select_result: remembers the selected Results row.
void handle_select_result(DemoState& state, const Request& request, const Instant& now);
// launch_log: answers one page of the retained launch log.
void handle_launch_log(DemoState& state, const Request& request, const Instant& now);
// refresh_project: scans the workspace's sources again.
void handle_refresh_project(DemoState& state, const Request& request, const Instant& now);

}  // namespace qm::demo
