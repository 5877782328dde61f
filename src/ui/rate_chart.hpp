#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace qm {

// The declared rate bounds of a topic, each when the document gives a finite number.
struct RateBounds {
  std::optional<double> min_hz;
  std::optional<double> max_hz;
};

// The rates a chart spans from its bottom to its top.
struct RateScale {
  double low = 0;
  double high = 1;
};

// The scale of a chart of `rates` with `bounds`: zero and every finite rate and bound lie within
// it, so a flat series or a single rate fills the chart to its value. NaN and infinite rates and
// bounds are left out; nothing but zeros spans half a hertz. None when no rate is finite.
std::optional<RateScale> rate_scale(std::span<const float> rates, RateBounds bounds);

// The height of `value` on a chart of `levels` steps: 1 at the scale's low end to `levels` at its
// high end, clamped within; 0 (nothing drawn) for NaN or infinity.
unsigned rate_level(double value, RateScale scale, unsigned levels);

// The block character for `level` within the chart row whose steps start after `row_base`: full,
// one of the eighths, or a space above the bar.
std::string_view bar_cell(unsigned level, unsigned row_base);

// What a window of rates amounts to: finite rates only for the figures, gaps counted apart.
struct RateStats {
  std::size_t samples = 0;
  std::size_t gaps = 0;
  std::optional<double> last;
  std::optional<double> lowest;
  std::optional<double> highest;
  std::optional<double> mean;
};
RateStats rate_stats(std::span<const float> rates);

// A span of time in whole seconds as the panel words it: "42 s", "4 min 58 s", "2 h 5 min".
std::string span_text(uint64_t milliseconds);

}  // namespace qm
