#include "tui/paragraph.hpp"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "tui/buffer.hpp"
#include "tui/line_source.hpp"
#include "tui/wrap.hpp"

namespace {

constexpr tui::Rect screen{0, 0, 180, 58};
constexpr std::size_t line_count = 20'000;

// Detail-like text: a styled key, then a value of 4 to 60 words, some lines indented.
std::vector<tui::Line> make_lines() {
  static constexpr const char* words[] = {"topic",   "/robot/odom", "publisher", "rate",
                                          "42.0 Hz", "subscriber",  "frame",     "base_link",
                                          "qos",     "reliable",    "depth",     "10"};
  std::vector<tui::Line> lines;
  lines.reserve(line_count);
  for (std::size_t i = 0; i < line_count; ++i) {
    tui::Line line;
    line.push(i % 5 == 0 ? "  key " + std::to_string(i) + ": " : "key " + std::to_string(i) + ": ",
              tui::fg(tui::Color::hex(0x88aaff)).bold());
    std::string value;
    const std::size_t count = 4 + (i * 7) % 57;
    for (std::size_t w = 0; w < count; ++w) {
      if (w > 0)
        value += ' ';
      value += words[(i + w) % std::size(words)];
    }
    line.push(std::move(value), tui::fg(tui::Color::hex(0xdddddd)));
    lines.push_back(std::move(line));
  }
  return lines;
}

const std::vector<tui::Line>& lines() {
  static const std::vector<tui::Line> all = make_lines();
  return all;
}

void render(benchmark::State& state, tui::Wrap wrap, uint16_t scroll, uint16_t column_offset) {
  tui::Buffer buffer(screen);
  tui::Paragraph paragraph;
  paragraph.wrap = wrap;
  paragraph.scroll = scroll;
  paragraph.column_offset = column_offset;
  for (auto _ : state) {
    buffer.reset();
    // A new source every frame, as the screen is rebuilt whole each time.
    const tui::StyledLines source(lines());
    paragraph.render(source, screen, buffer);
    benchmark::DoNotOptimize(buffer.cells().data());
  }
}

void BM_WrappedTop(benchmark::State& state) {
  render(state, tui::Wrap::words, 0, 0);
}
void BM_WrappedScrolled10000(benchmark::State& state) {
  render(state, tui::Wrap::words, 10'000, 0);
}
void BM_UnwrappedPanned40(benchmark::State& state) {
  render(state, tui::Wrap::none, 0, 40);
}
void BM_UnwrappedScrolled10000Panned40(benchmark::State& state) {
  render(state, tui::Wrap::none, 10'000, 40);
}
// The total a caller needs to clamp the scroll: every line is wrapped.
void BM_WrappedHeightAllLines(benchmark::State& state) {
  for (auto _ : state) {
    const tui::StyledLines source(lines());
    benchmark::DoNotOptimize(tui::wrapped_height(source, screen.width));
  }
}

BENCHMARK(BM_WrappedTop)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WrappedScrolled10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UnwrappedPanned40)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UnwrappedScrolled10000Panned40)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WrappedHeightAllLines)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
