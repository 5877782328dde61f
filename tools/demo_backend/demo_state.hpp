#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "retained_log.hpp"

namespace qm::demo {

// How a sampled topic's rate wanders from one sample to the next.
struct TopicDrift {
  double nominal_hz = 0.0;
  double factor = 1.0;     // the measured rate is nominal × factor
  int silent_samples = 0;  // samples left in a dropout
};

// A staged check in progress.
struct RunningCheck {
  std::string run_id;
  std::size_t stage = 0;
  double stage_started_s = 0.0;  // steady time
};

// The pending assistant answer after an approved disclosure.
struct PendingReply {
  double due_s = 0.0;  // steady time
  std::string prompt;
};

// Everything the backend knows: the document it publishes and the simulation behind it.
struct DemoState {
  nlohmann::json document;
  RetainedLog log;
  PageRequest last_page;  // answered again when the log grows
  std::mt19937_64 random;
  bool live = true;  // rates drift and the launch keeps writing
  std::filesystem::path session_path;

  std::map<std::string, TopicDrift> drift;
  double next_sample_s = 0.0;
  double next_log_line_s = 0.0;
  std::uint64_t log_lines_written = 0;  // synthetic lines so far, for their variety
  double playback_tick_s = 0.0;
  std::optional<RunningCheck> check;
  std::optional<PendingReply> reply;
  int next_approval = 8;
  int next_checkpoint = 1;
  std::uint64_t skipped_requests = 0;
};

// Sets up the simulation around a document built by build_demo_document(): seeds the retained
// log, the rate drift and the clocks, and answers the first log page from the retained log.
DemoState make_demo_state(nlohmann::json document, std::uint64_t seed, bool live,
                          std::filesystem::path session_path, double steady_s);

}  // namespace qm::demo
