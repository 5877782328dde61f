#include "backend.hpp"

#include "demo_document.hpp"
#include "simulation.hpp"
#include "stable_numbers.hpp"

namespace qm::demo {

Backend::Backend(const BackendOptions& options, const Instant& now)
    : state_(make_demo_state(build_demo_document(), options.seed, options.live,
                             options.session_path, now.steady_s)),
      last_write_s_(now.steady_s) {
  state_.document["runtime"]["status"] = "Live capture ready";
  state_.document["notice"] =
      options.live ? "Watching amr-07 · docking bring-up (AMR-412)"
                   : "Watching amr-07 · the robot stands still; requests are answered";
}

LineOutcome Backend::handle_line(std::string_view line, const Instant& now) {
  const LineOutcome outcome = handle_request_line(state_, line, now);
  if (outcome != LineOutcome::blank) {
    answer_pending_ = true;
  }
  return outcome;
}

void Backend::note_overlong_lines(std::size_t count) {
  if (count > 0) {
    note_skipped_lines(state_, count);
    answer_pending_ = true;
  }
}

void Backend::step(const Instant& now) {
  if (simulation_step(state_, now)) {
    background_pending_ = true;
  }
}

bool Backend::due(const Instant& now) const {
  const double since_write_s = now.steady_s - last_write_s_;
  return answer_pending_ || (background_pending_ && since_write_s >= background_interval_s) ||
         since_write_s >= heartbeat_interval_s;
}

std::string Backend::render(const Instant& now) {
  nlohmann::json& document = state_.document;
  document["revision"] = document.value("revision", 0) + 1;
  document["runtime"]["updated_at"] = iso_utc(now.wall_s);
  return document.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

void Backend::written(const Instant& now) {
  answer_pending_ = false;
  background_pending_ = false;
  last_write_s_ = now.steady_s;
}

}  // namespace qm::demo
