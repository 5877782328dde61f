#pragma once

#include <cstdint>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "demo_state.hpp"
#include "instant.hpp"
#include "request_table.hpp"

namespace qm::demo {

struct BackendOptions {
  std::uint64_t seed = 0;
  bool live = true;  // false: the robot stands still and only requests change the document
  std::filesystem::path session_path;
};

// The demo backend without its files: it answers request lines, runs the simulation and says
// when the document is due to be written. Answers are due at once; the simulation's own
// changes at most once a second; an unchanged document again after the heartbeat interval, so
// a viewer can tell a running backend from one that stopped.
class Backend {
 public:
  static constexpr double background_interval_s = 1.0;
  static constexpr double heartbeat_interval_s = 10.0;

  Backend(const BackendOptions& options, const Instant& now);

  LineOutcome handle_line(std::string_view line, const Instant& now);
  void note_overlong_lines(std::size_t count);
  void step(const Instant& now);

  bool due(const Instant& now) const;
  // The next revision of the document as text; call written() once it is on disk.
  std::string render(const Instant& now);
  void written(const Instant& now);

  const nlohmann::json& document() const { return state_.document; }
  DemoState& state() { return state_; }

 private:
  DemoState state_;
  bool answer_pending_ = true;  // the first document is written at once
  bool background_pending_ = false;
  double last_write_s_ = 0.0;
};

}  // namespace qm::demo
