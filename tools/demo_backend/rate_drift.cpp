#include "rate_drift.hpp"

#include <algorithm>
#include <cmath>

#include "capture_builder.hpp"
#include "robot_tables.hpp"
#include "stable_numbers.hpp"

namespace qm::demo {

namespace {

using nlohmann::json;

// Per topic and sample: over the 46 sampled topics, a dropout every quarter minute or so.
constexpr double dropout_chance = 0.0015;
constexpr double excursion_chance = 0.01;  // per topic and sample

void note_check_sample(json& checks, const std::string& topic, double value) {
  if (!checks.contains(topic)) {
    return;
  }
  json& samples = checks[topic]["samples"];
  samples.push_back(value);
  while (samples.size() > 3) {
    samples.erase(samples.begin());
  }
}

}  // namespace

bool follow_topic_rate(DemoState& state, const std::string& topic) {
  const TopicSpec* spec = find_topic(topic);
  if (spec == nullptr || spec->kind != RateKind::hz) {
    return false;
  }
  state.drift.try_emplace(topic, TopicDrift{spec->hz});
  return true;
}

void sample_rates(DemoState& state) {
  json& rates = state.document["current"]["rates"];
  json& topics = rates["topics"];
  std::normal_distribution<double> wander(0.0, 0.012);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  for (auto& [topic, drift] : state.drift) {
    if (drift.silent_samples > 0) {
      --drift.silent_samples;
    } else if (unit(state.random) < dropout_chance) {
      drift.silent_samples = 2 + static_cast<int>(unit(state.random) * 5);
    }
    if (drift.silent_samples > 0) {
      topics[topic] = silent_rate(topic);
      note_check_sample(rates["checks"], topic, 0.0);
      continue;
    }
    // A random walk pulled back towards the nominal rate, with a rare dip past the bounds.
    drift.factor += wander(state.random) + (1.0 - drift.factor) * 0.25;
    if (unit(state.random) < excursion_chance) {
      drift.factor *= 0.8 + unit(state.random) * 0.1;
    }
    drift.factor = std::clamp(drift.factor, 0.7, 1.2);
    const double mean = round_to(drift.nominal_hz * drift.factor, 2);
    json entry = measured_rate(topic, mean);
    const double period = 1.0 / mean;
    entry["last_receipt_age_s"] = round_to(period * (0.1 + 0.8 * unit(state.random)), 3);
    entry["max_gap_s"] = round_to(period * (1.2 + 0.6 * unit(state.random)), 4);
    entry["min_gap_s"] = round_to(period * (0.6 + 0.3 * unit(state.random)), 4);
    topics[topic] = std::move(entry);
    note_check_sample(rates["checks"], topic, mean);
  }
}

void grow_recording(DemoState& state) {
  const json& topics = state.document["current"]["rates"]["topics"];
  // The recorder writes what its topics carried over the last second.
  json& recording = state.document["runtime"]["recording"];
  if (recording.value("state", "") == "recording" && recording["bytes_written"].is_number()) {
    double written = 0.0;
    for (const json& name : recording.value("topics", json::array())) {
      const json& measurement = topics.value(name.get<std::string>(), json::object());
      written += measurement.value("bytes_per_s", 0.0);
    }
    recording["bytes_written"] =
        recording["bytes_written"].get<std::uint64_t>() + static_cast<std::uint64_t>(written);
  }
}

}  // namespace qm::demo
