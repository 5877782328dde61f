#include "check_requests.hpp"

#include <fmt/format.h>

#include "check_stages.hpp"

namespace qm::demo {

void handle_run_check(DemoState& state, const Request&, const Instant& now) {
  if (!start_check(state, now)) {
    report(state, "Check already running",
           fmt::format("Check {} is still running; c cancels it", state.check->run_id));
    return;
  }
  report(state, "Check started",
         fmt::format("Check {} started: colcon build", state.check->run_id));
}

void handle_cancel_check(DemoState& state, const Request&, const Instant& now) {
  if (!cancel_running_check(state, now)) {
    report(state, "No check running", "No check is running; g starts one");
    return;
  }
  state.document["runtime"]["status"] = "Check cancelled";
}

}  // namespace qm::demo
