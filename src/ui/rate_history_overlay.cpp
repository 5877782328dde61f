#include "ui/rate_history_overlay.hpp"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <string>
#include <vector>

#include "model/mode_keys.hpp"
#include "text/text.hpp"
#include "text/value_text.hpp"
#include "ui/overlay_box.hpp"
#include "ui/palette.hpp"
#include "ui/rate_chart.hpp"

namespace qm {

namespace {

constexpr unsigned steps_per_row = 8;
// The lines under the chart: rates, samples and span, cursor, keys.
constexpr uint16_t text_rows = 4;
constexpr uint16_t widest_gutter_share = 3;

constexpr tui::Style bar_style = tui::fg(palette::accent_soft);
constexpr tui::Style outside_style = tui::fg(palette::bad);
constexpr tui::Style bound_style = tui::fg(palette::text_dim);
constexpr tui::Style label_style = tui::fg(palette::text_muted);

std::string hz(double rate) {
  return format_fixed(rate, 1) + " Hz";
}

RateBounds declared_bounds(const Json& document, std::string_view topic) {
  const Json& expected = member(member_path(document, {"current", "rates", "expected"}), topic);
  auto finite = [](const Json& value) -> std::optional<double> {
    const std::optional<double> number = number_of(value);
    return number && std::isfinite(*number) ? number : std::nullopt;
  };
  return RateBounds{finite(member(expected, "min_hz")), finite(member(expected, "max_hz"))};
}

bool outside(double rate, RateBounds bounds) {
  return (bounds.min_hz && rate < *bounds.min_hz) || (bounds.max_hz && rate > *bounds.max_hz);
}

// The kept rates, oldest first; gaps are NaN.
std::vector<float> rates_of(const RateSeries& series) {
  std::vector<float> rates(series.size());
  for (std::size_t i = 0; i < series.size(); ++i) {
    rates[i] = series[i].rate_hz;
  }
  return rates;
}

// The chart's geometry: the gutter of labels at the left and the bars right of it, `rows` high;
// `first` is the offset from the newest sample of the rightmost column.
struct ChartArea {
  tui::Rect gutter;
  tui::Rect bars;
  std::size_t first = 0;
  unsigned levels() const { return unsigned{bars.height} * steps_per_row; }
  uint16_t row_of(unsigned level) const {
    return static_cast<uint16_t>(bars.y + bars.height - 1 - (level - 1) / steps_per_row);
  }
};

ChartArea chart_area(tui::Rect inner, const std::vector<std::string>& labels, std::size_t cursor) {
  std::size_t widest = 0;
  for (const std::string& label : labels) {
    widest = std::max(widest, display_width(label));
  }
  const auto gutter =
      static_cast<uint16_t>(std::min<std::size_t>(widest + 1, inner.width / widest_gutter_share));
  const uint16_t rows = base::saturating_sub(inner.height, text_rows);
  ChartArea chart{tui::Rect{inner.x, inner.y, gutter, rows},
                  tui::Rect{static_cast<uint16_t>(inner.x + gutter), inner.y,
                            static_cast<uint16_t>(inner.width - gutter), rows},
                  0};
  // The cursor stays in sight: past the left edge, the chart moves back with it.
  if (chart.bars.width > 0 && cursor >= chart.bars.width) {
    chart.first = cursor - (chart.bars.width - 1);
  }
  return chart;
}

void draw_label(tui::Buffer& buffer, const ChartArea& chart, uint16_t row, std::string_view text,
                const tui::Style& style) {
  const auto width =
      static_cast<uint16_t>(std::min<std::size_t>(display_width(text), chart.gutter.width - 1));
  buffer.set_string(static_cast<uint16_t>(chart.gutter.right() - 1 - width), row, text, style,
                    width);
}

void draw_chart(tui::Buffer& buffer, const ChartArea& chart, const std::vector<float>& rates,
                RateBounds bounds, RateScale scale, std::size_t cursor) {
  const unsigned levels = chart.levels();
  std::vector<std::optional<uint16_t>> bound_rows;
  for (const std::optional<double> bound : {bounds.min_hz, bounds.max_hz}) {
    if (bound) {
      const uint16_t row = chart.row_of(rate_level(*bound, scale, levels));
      bound_rows.emplace_back(row);
      draw_label(buffer, chart, row, format_fixed(*bound, 1), bound_style);
    }
  }
  auto labelled = [&](uint16_t row) {
    return std::find(bound_rows.begin(), bound_rows.end(), row) != bound_rows.end();
  };
  const uint16_t top = chart.bars.y;
  const auto bottom = static_cast<uint16_t>(chart.bars.bottom() - 1);
  if (!labelled(top)) {
    draw_label(buffer, chart, top, format_fixed(scale.high, 1), label_style);
  }
  if (!labelled(bottom) && bottom != top) {
    draw_label(buffer, chart, bottom, format_fixed(scale.low, 1), label_style);
  }
  for (uint16_t column = 0; column < chart.bars.width; ++column) {
    const std::size_t back = chart.first + (chart.bars.width - 1 - column);
    if (back >= rates.size()) {
      continue;  // older than the oldest kept sample
    }
    const float rate = rates[rates.size() - 1 - back];
    const auto x = static_cast<uint16_t>(chart.bars.x + column);
    if (std::isfinite(rate)) {
      const unsigned level = rate_level(rate, scale, levels);
      const tui::Style style = outside(rate, bounds) ? outside_style : bar_style;
      for (uint16_t row = 0; row < chart.bars.height; ++row) {
        const auto y = static_cast<uint16_t>(top + row);
        const unsigned base =
            unsigned{static_cast<uint16_t>(chart.bars.height - 1 - row)} * steps_per_row;
        const std::string_view cell = bar_cell(level, base);
        if (cell != " ") {
          buffer.set_string(x, y, cell, style, 1);
        } else if (labelled(y)) {
          buffer.set_string(x, y, "─", bound_style, 1);
        }
      }
    }
    if (back == cursor) {
      buffer.set_style(tui::Rect{x, top, 1, chart.bars.height},
                       tui::Style{}.with_bg(palette::bg_selection));
    }
  }
}

std::string rates_line(const RateStats& stats) {
  auto figure = [](const std::optional<double>& rate) { return rate ? hz(*rate) : "none"; };
  return "Last " + (stats.last ? hz(*stats.last) : std::string("gap")) + " · lowest " +
         figure(stats.lowest) + " · highest " + figure(stats.highest) + " · mean " +
         figure(stats.mean);
}

std::string samples_line(const RateSeries& series, const RateStats& stats) {
  std::string line = std::to_string(stats.samples) + " samples";
  if (stats.gaps > 0) {
    line += ", " + std::to_string(stats.gaps) + (stats.gaps == 1 ? " gap" : " gaps");
  }
  return line + " · last " + span_text(series.back().time_ms - series.front().time_ms);
}

std::string cursor_line(const AppState& state, const RateSeries& series, std::size_t cursor) {
  const RateSample& sample = series[series.size() - 1 - cursor];
  const auto taken = state.rate_history.epoch() + std::chrono::milliseconds(sample.time_ms);
  const auto ago = std::chrono::duration_cast<std::chrono::milliseconds>(state.now - taken);
  return "Cursor: " + span_text(static_cast<uint64_t>(std::max<int64_t>(ago.count(), 0))) +
         " ago · " + (sample.gap() ? std::string("gap, no rate measured") : hz(sample.rate_hz)) +
         " · sample " + std::to_string(series.size() - cursor) + " of " +
         std::to_string(series.size());
}

// The sentence drawn instead of a chart, if one is.
std::optional<std::string> no_chart_text(const AppState& state, const RateSeries& series) {
  if (state.baseline_shown()) {
    return "Rate history belongs to the current capture; the baseline keeps no history. b "
           "switches back to the current capture.";
  }
  if (series.size() < 2) {
    return "Rate history builds up while the viewer runs: each refresh of the session document "
           "adds one sample. " +
           std::to_string(series.size()) + " of 2 samples kept so far.";
  }
  return std::nullopt;
}

}  // namespace

void draw_rate_history(tui::Buffer& buffer, tui::Rect area, const AppState& state) {
  const RatePanelState& panel = *state.rate_panel;
  const tui::Rect box = log_box(area);
  const std::string title = " " + display_safe(panel.topic) + " · rate history ";
  const RateSeries series = state.rate_history.samples(panel.topic);
  if (const std::optional<std::string> sentence = no_chart_text(state, series)) {
    draw_text_panel(buffer, box, title, *sentence + "\n\n" + rate_history_legend(),
                    DetailLines::Styling::plain, 0);
    return;
  }
  if (box.empty()) {
    return;
  }
  clear_box(buffer, box);
  const tui::Rect inner = draw_panel_frame(buffer, box, title);
  const std::vector<float> rates = rates_of(series);
  const RateBounds bounds = declared_bounds(state.document(), panel.topic);
  const std::optional<RateScale> scale = rate_scale(rates, bounds);
  const std::size_t cursor = std::min(panel.cursor, series.size() - 1);
  std::vector<std::string> labels;
  if (scale) {
    labels = {format_fixed(scale->high, 1), format_fixed(scale->low, 1)};
    for (const std::optional<double> bound : {bounds.min_hz, bounds.max_hz}) {
      if (bound) {
        labels.push_back(format_fixed(*bound, 1));
      }
    }
  }
  const ChartArea chart = chart_area(inner, labels, cursor);
  if (scale && chart.bars.height > 0) {
    draw_chart(buffer, chart, rates, bounds, *scale, cursor);
  }
  const RateStats stats = rate_stats(rates);
  const std::string lines[text_rows] = {rates_line(stats), samples_line(series, stats),
                                        cursor_line(state, series, cursor), rate_history_legend()};
  for (uint16_t i = 0; i < text_rows; ++i) {
    const auto y = static_cast<uint16_t>(chart.bars.bottom() + i);
    if (y >= inner.bottom()) {
      break;
    }
    buffer.set_string(inner.x, y, lines[i], i + 1 == text_rows ? label_style : tui::Style{},
                      inner.width);
  }
}

}  // namespace qm
