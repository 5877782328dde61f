#include "demo_state.hpp"

#include "launch_output.hpp"
#include "rate_drift.hpp"
#include "robot_tables.hpp"
#include "simulation.hpp"

namespace qm::demo {

namespace {

// The demo's log holds this many lines at the capture time, as its first page says.
constexpr std::size_t seeded_log_lines = 1842;
// ROS times of the launch output between the last first-page line and the capture.
constexpr double seeded_log_from_s = 1796823703.0;
constexpr double seeded_log_until_s = updated_at_s - 1.0;

}  // namespace

DemoState make_demo_state(nlohmann::json document, std::uint64_t seed, bool live,
                          std::filesystem::path session_path, double steady_s) {
  DemoState state;
  state.document = std::move(document);
  state.random.seed(seed);
  state.live = live;
  state.session_path = std::move(session_path);

  for (LogLine& line : first_launch_lines()) {
    state.log.append(std::move(line));
  }
  const std::size_t synthetic = seeded_log_lines - state.log.retained();
  const double spacing = (seeded_log_until_s - seeded_log_from_s) / static_cast<double>(synthetic);
  for (std::size_t i = 0; i < synthetic; ++i) {
    state.log.append(launch_output_line(i, seeded_log_from_s + spacing * static_cast<double>(i)));
  }
  state.log_lines_written = synthetic;
  state.last_page.limit = 25;
  publish_log_state(state);

  for (const auto& [topic, measurement] : state.document["current"]["rates"]["topics"].items()) {
    if (measurement.contains("mean_rate_hz")) {
      follow_topic_rate(state, topic);
    }
  }
  state.next_sample_s = steady_s + 1.0;
  state.next_log_line_s = steady_s + 2.0;
  state.playback_tick_s = steady_s;
  return state;
}

}  // namespace qm::demo
