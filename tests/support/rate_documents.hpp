#pragma once

#include <chrono>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/rate_history.hpp"
#include "support/documents.hpp"

namespace qm::testing {

// One topic's rate entry: measured at `rate`, or without a rate (no publisher) when none.
inline nlohmann::json rate_entry(std::optional<double> rate) {
  if (!rate) {
    return {{"status", "no_publisher"}};
  }
  return {{"status", "measured"}, {"mean_rate_hz", *rate}};
}

// `document` with the rate entries of `topics` under `current.rates.topics`.
inline nlohmann::json with_rates(
    nlohmann::json document,
    const std::vector<std::pair<std::string, std::optional<double>>>& topics) {
  nlohmann::json& entries = document["current"]["rates"]["topics"];
  entries = nlohmann::json::object();
  for (const auto& [name, rate] : topics) {
    entries[name] = rate_entry(rate);
  }
  return document;
}

// Records `rates` of one topic, one reload a second from `start`; none is a reload without a rate.
inline void record_series(RateHistory& history, const std::string& topic,
                          const std::vector<std::optional<double>>& rates,
                          std::chrono::steady_clock::time_point start = {}) {
  for (std::size_t i = 0; i < rates.size(); ++i) {
    const DocumentPtr document = document_of(with_rates({}, {{topic, rates[i]}}));
    history.record(document->root, start + std::chrono::seconds(i));
  }
}

}  // namespace qm::testing
