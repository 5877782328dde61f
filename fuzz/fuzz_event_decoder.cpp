// Terminal bytes to events: fed whole and split at every place the input names, the decoder
// must give the same events, never crash and always make progress.
#include <chrono>
#include <vector>

#include "fuzz_support.hpp"
#include "tui/event_decoder.hpp"

namespace {

using Clock = tui::EventDecoder::Clock;

// Every event the decoder gives once no more bytes come, after `chunks` arrived together.
std::vector<tui::Event> decode(const std::vector<std::string_view>& chunks) {
  tui::EventDecoder decoder;
  std::vector<tui::Event> events;
  Clock::time_point now{};
  auto drain = [&] {
    while (auto event = decoder.next(now)) {
      events.push_back(std::move(*event));
    }
  };
  for (std::string_view chunk : chunks) {
    decoder.feed(chunk, now);
    drain();
  }
  now += tui::EventDecoder::paste_wait + tui::EventDecoder::escape_wait;
  drain();
  if (decoder.has_pending_bytes()) {
    qm::fuzz::broken("bytes still wait after every wait has passed");
  }
  return events;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) {
    return 0;
  }
  // The first byte tells where to split the rest: every `step` bytes.
  const std::size_t step = data[0] % 8 + 1;
  const std::string_view bytes = qm::fuzz::bytes_of(data + 1, size - 1);

  const std::vector<tui::Event> whole = decode({bytes});
  std::vector<std::string_view> chunks;
  for (std::size_t at = 0; at < bytes.size(); at += step) {
    chunks.push_back(bytes.substr(at, step));
  }
  const std::vector<tui::Event> split = decode(chunks);
  if (whole != split) {
    qm::fuzz::broken("split bytes decode to other events than the whole bytes");
  }
  return 0;
}
