#pragma once

#include <chrono>
#include <nlohmann/json.hpp>
#include <optional>
#include <vector>

#include "frame_fixture.hpp"
#include "support/rate_documents.hpp"

namespace qm::ui_test {

inline constexpr std::size_t rate_series_length = 40;

// The kept rates of /scan: about 10 Hz, dropping to 3 Hz for two reloads, one reload without a
// rate, and one burst above the declared 8–12 Hz.
inline std::vector<std::optional<double>> scan_series() {
  std::vector<std::optional<double>> rates;
  for (std::size_t i = 0; i < rate_series_length; ++i) {
    rates.emplace_back(10.0 + static_cast<double>(i % 5) * 0.25);
  }
  rates[12] = rates[13] = 3.0;
  rates[25] = std::nullopt;
  rates[30] = 13.5;
  return rates;
}

// The frame session with /scan's declared bounds and its series recorded, one reload a second,
// the clock at the last reload, and the panel open with the cursor `cursor` samples back.
inline void open_scan_history(AppState& state, std::size_t cursor = 0) {
  testing::record_series(state.rate_history, "/scan", scan_series());
  state.now = std::chrono::steady_clock::time_point{std::chrono::seconds(rate_series_length - 1)};
  state.rate_panel = RatePanelState{"/scan", cursor};
}

inline nlohmann::json scan_rates_document() {
  nlohmann::json document = testing::with_rates(frame_document(), {{"/scan", 10.5}});
  document["current"]["rates"]["expected"]["/scan"] = {{"min_hz", 8}, {"max_hz", 12}};
  return document;
}

}  // namespace qm::ui_test
