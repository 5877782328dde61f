#pragma once

#include "request.hpp"

namespace qm::demo {

// The experiment requests of the development task.
void handle_plan_experiment(DemoState& state, const Request& request, const Instant& now);
void handle_finish_experiment(DemoState& state, const Request& request, const Instant& now);
void handle_select_experiment(DemoState& state, const Request& request, const Instant& now);
void handle_attach_experiment(DemoState& state, const Request& request, const Instant& now);
void handle_experiment_results(DemoState& state, const Request& request, const Instant& now);
void handle_recover_experiments(DemoState& state, const Request& request, const Instant& now);
void handle_refresh_task(DemoState& state, const Request& request, const Instant& now);

}  // namespace qm::demo
