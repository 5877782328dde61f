#include "tui/terminal.hpp"

#include <benchmark/benchmark.h>

#include <array>
#include <memory>
#include <string>

#include "counting_backend.hpp"
#include "tui/event_decoder.hpp"

namespace {

// A screen much like the viewer's: a background, styled text on every row, a bold title.
void draw_screen(tui::Frame& frame, int variant, bool every_row) {
  tui::Buffer& buffer = frame.buffer();
  const tui::Rect area = frame.area();
  buffer.set_style(area, tui::bg(tui::Color::hex(0x0a0a0b)).with_fg(tui::Color::hex(0xc9c9cf)));
  buffer.set_string(1, 0, " quillmesh ", tui::fg(tui::Color::hex(0xa5a5ff)).bold());
  for (uint16_t y = 1; y < area.height; ++y) {
    const bool changing = every_row || y == 30;
    const int shift = changing ? variant : 0;
    const std::string text = "/topic/sensor_" + std::to_string(y * 7 + shift) + "  rate " +
                             std::to_string(10 + shift) + ".0 Hz  ok  node:/driver_" +
                             std::to_string(y + shift) + "  · 中文 ";
    uint16_t x = 0;
    while (x < area.width) {
      const tui::Color colour = tui::Color::hex(0x4cc38a + 0x010101u * ((y + x + shift) % 5));
      x = buffer.set_string(x, y, text, tui::fg(colour));
      if (x < area.width) {
        x = buffer.set_string(x, y, "│", tui::fg(tui::Color::hex(0x2e2e36)));
      }
    }
  }
}

// Flushes frames that alternate between two prepared screens, so the time is that of the
// terminal (blanking, copying the cells in, the diff and the escape bytes), not of the drawing.
void flush_frames(benchmark::State& state, bool every_row) {
  std::size_t bytes = 0;
  auto terminal = tui::Terminal::create(
      std::make_unique<qm::bench::CountingBackend>(&bytes, tui::Size{200, 60}));
  if (!terminal) {
    state.SkipWithError("no terminal");
    return;
  }
  std::array<tui::Buffer, 2> screens{tui::Buffer(terminal->viewport()),
                                     tui::Buffer(terminal->viewport())};
  for (int variant = 0; variant < 2; ++variant) {
    tui::Frame frame(screens[static_cast<std::size_t>(variant)]);
    draw_screen(frame, variant, every_row);
  }
  std::size_t shown = 0;
  const auto show = [&](tui::Frame& frame) { frame.buffer().cells() = screens[shown].cells(); };
  (void)terminal->draw(show);
  bytes = 0;
  for (auto _ : state) {
    shown = 1 - shown;
    const auto drawn = terminal->draw(show);
    benchmark::DoNotOptimize(drawn);
  }
  state.counters["bytes_per_frame"] =
      benchmark::Counter(static_cast<double>(bytes) / static_cast<double>(state.iterations()));
}

void BM_FlushFrameOneRowChanged(benchmark::State& state) {
  flush_frames(state, false);
}
BENCHMARK(BM_FlushFrameOneRowChanged)->Unit(benchmark::kMicrosecond);

void BM_FlushFrameEveryCellChanged(benchmark::State& state) {
  flush_frames(state, true);
}
BENCHMARK(BM_FlushFrameEveryCellChanged)->Unit(benchmark::kMicrosecond);

// Typing, arrows with modifiers, mouse moves and wheels, and a paste now and then.
std::string input_mix() {
  std::string bytes;
  for (int i = 0; i < 2000; ++i) {
    bytes += "jjkq/filter";
    bytes += "\x1b[A\x1b[1;5B\x1bOP\x1b[15~\x03\r\x7f";
    bytes += "\x1b[<35;" + std::to_string(i % 200 + 1) + ";" + std::to_string(i % 60 + 1) + "M";
    bytes += "\x1b[<64;10;10M\x1b[<0;3;4M\x1b[<0;3;4m";
    bytes += "é中";
    if (i % 50 == 0) {
      bytes += "\x1b[200~" + std::string(300, 'p') + "\n/topic/a\x1b[201~";
    }
  }
  return bytes;
}

void BM_DecodeInputMix(benchmark::State& state) {
  const std::string bytes = input_mix();
  const auto now = tui::EventDecoder::Clock::time_point{};
  std::size_t events = 0;
  for (auto _ : state) {
    tui::EventDecoder decoder;
    for (std::size_t offset = 0; offset < bytes.size(); offset += 4096) {
      decoder.feed(std::string_view(bytes).substr(offset, 4096), now);
      while (auto event = decoder.next(now)) {
        benchmark::DoNotOptimize(*event);
        ++events;
      }
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
  state.counters["events_per_second"] =
      benchmark::Counter(static_cast<double>(events) / static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_DecodeInputMix)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
