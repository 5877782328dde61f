#include "ui/rate_chart.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace qm {
namespace {

constexpr float nan = std::numeric_limits<float>::quiet_NaN();
constexpr float inf = std::numeric_limits<float>::infinity();

TEST(RateChart, ScaleHoldsEveryFiniteRateAndBound) {
  const struct {
    std::string_view note;
    std::vector<float> rates;
    RateBounds bounds;
    std::optional<RateScale> scale;
  } cases[] = {
      {"spread series", {3, 10, 7}, {}, RateScale{0, 10}},
      {"flat series", {10, 10, 10}, {}, RateScale{0, 10}},
      {"one sample", {20}, {}, RateScale{0, 20}},
      {"nothing but zeros", {0, 0}, {}, RateScale{0, 0.5}},
      {"negative rates stay in view", {-2, 3}, {}, RateScale{-2, 3}},
      {"bounds above all samples", {2, 3}, {RateBounds{20, 40}}, RateScale{0, 40}},
      {"bounds around a flat series", {10, 10}, {RateBounds{8, 12}}, RateScale{0, 12}},
      {"NaN and infinity are left out", {nan, 4, inf, -inf, 6}, {}, RateScale{0, 6}},
      {"infinite bounds are left out", {4, 6}, {RateBounds{-INFINITY, NAN}}, RateScale{0, 6}},
      {"only gaps: nothing to scale", {nan, nan}, {RateBounds{1, 2}}, std::nullopt},
      {"no samples", {}, {}, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.note);
    const std::optional<RateScale> scale = rate_scale(c.rates, c.bounds);
    ASSERT_EQ(scale.has_value(), c.scale.has_value());
    if (scale) {
      EXPECT_DOUBLE_EQ(scale->low, c.scale->low);
      EXPECT_DOUBLE_EQ(scale->high, c.scale->high);
      EXPECT_LT(scale->low, scale->high);
    }
  }
}

TEST(RateChart, LevelsSpanTheScaleAndRefuseNonFiniteValues) {
  const RateScale scale{0, 10};
  const struct {
    double value;
    unsigned level;
  } cases[] = {
      {0, 1},    // the lowest rate still shows, unlike a gap
      {10, 80},  // the top of ten rows of eight steps
      {5, 41},   // halfway, rounded
      {-3, 1},   // below the scale: clamped
      {12, 80},  // above it
      {NAN, 0},  // drawn as nothing
      {INFINITY, 0}, {-INFINITY, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(rate_level(c.value, scale, 80), c.level) << c.value;
  }
  EXPECT_EQ(rate_level(5, scale, 0), 0u);
}

TEST(RateChart, BarCellsFillFromTheBottomInEighths) {
  const struct {
    unsigned level;
    unsigned row_base;
    std::string_view cell;
  } cases[] = {
      {0, 0, " "},  {1, 0, "▁"},   {8, 0, "█"},  {12, 0, "█"},
      {12, 8, "▄"}, {12, 16, " "}, {16, 8, "█"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(bar_cell(c.level, c.row_base), c.cell) << c.level << " over " << c.row_base;
  }
}

TEST(RateChart, StatsCountGapsApartFromTheRates) {
  const RateStats stats = rate_stats(std::vector<float>{4, nan, 10, 7, nan});
  EXPECT_EQ(stats.samples, 5u);
  EXPECT_EQ(stats.gaps, 2u);
  EXPECT_EQ(stats.last, std::nullopt);  // the newest reload measured no rate
  EXPECT_EQ(stats.lowest, 4.0);
  EXPECT_EQ(stats.highest, 10.0);
  EXPECT_EQ(stats.mean, 7.0);

  const RateStats gaps = rate_stats(std::vector<float>{nan, nan});
  EXPECT_EQ(gaps.mean, std::nullopt);
  EXPECT_EQ(gaps.lowest, std::nullopt);
  EXPECT_EQ(rate_stats(std::vector<float>{2, 3}).last, 3.0);
}

TEST(RateChart, SpansAreWordedInWholeUnits) {
  const struct {
    uint64_t milliseconds;
    std::string_view text;
  } cases[] = {
      {0, "0 s"},
      {999, "0 s"},
      {59'999, "59 s"},
      {60'000, "1 min 0 s"},
      {298'000, "4 min 58 s"},
      {3'599'999, "59 min 59 s"},
      {3'600'000, "1 h 0 min"},
      {7'500'000, "2 h 5 min"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(span_text(c.milliseconds), c.text) << c.milliseconds;
  }
}

}  // namespace
}  // namespace qm
