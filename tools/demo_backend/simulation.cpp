#include "simulation.hpp"

#include <random>

#include "assistant_replies.hpp"
#include "check_stages.hpp"
#include "launch_output.hpp"
#include "playback_clock.hpp"
#include "rate_drift.hpp"

namespace qm::demo {

namespace {

constexpr double sample_interval_s = 1.0;

bool grow_launch_log(DemoState& state, const Instant& now) {
  if (now.steady_s < state.next_log_line_s) {
    return false;
  }
  std::uniform_int_distribution<int> burst(1, 3);
  std::uniform_real_distribution<double> pause(1.5, 4.0);
  const int lines = burst(state.random);
  for (int i = 0; i < lines; ++i) {
    append_launch_output(state,
                         launch_output_line(state.log_lines_written++, now.wall_s + i * 0.013));
  }
  state.next_log_line_s = now.steady_s + pause(state.random);
  return true;
}

}  // namespace

void append_launch_output(DemoState& state, LogLine line) {
  state.log.append(std::move(line));
  publish_log_state(state);
}

void publish_log_state(DemoState& state) {
  nlohmann::json& launch = state.document["runtime"]["launch"];
  nlohmann::json& summary = launch["log_summary"];
  summary["error_lines"] = state.log.count("error");
  summary["warning_lines"] = state.log.count("warning");
  state.document["runtime"]["launch_log_page"] = state.log.page(state.last_page, launch["log"]);
}

bool simulation_step(DemoState& state, const Instant& now) {
  bool changed = false;
  if (state.live && now.steady_s >= state.next_sample_s) {
    sample_rates(state);
    grow_recording(state);
    state.next_sample_s += sample_interval_s;
    if (state.next_sample_s <= now.steady_s) {
      // Behind after a stall: carry on from now rather than catch up in a burst.
      state.next_sample_s = now.steady_s + sample_interval_s;
    }
    changed = true;
  }
  if (state.live) {
    changed = grow_launch_log(state, now) || changed;
  }
  changed = advance_playback(state, now) || changed;
  if (state.check) {
    changed = advance_check(state, now) || changed;
  }
  changed = deliver_due_reply(state, now) || changed;
  return changed;
}

}  // namespace qm::demo
