// A fuzzed document, then a fuzzed string of keys, mouse reports, resizes and reloads, handled as
// the run loop handles them and drawn through a terminal after each. The input is the document,
// a NUL byte (which JSON text never holds), then the events, one or a few bytes each:
//   0x20-0x7e   that character typed
//   0x80-0x9a   a named key (Enter, Tab, arrows, F-keys, ...) in KeyCode order
//   0xa0-0xa7   modifiers for the next key: bit 0 Shift, bit 1 Alt, bit 2 Control
//   0xa8        the next key is a release
//   0xb0-0xb7   a mouse report of that kind, then a button byte, a column byte and a row byte
//   0xc0        a resize, then a width byte and a height byte
//   0xc1        the session file reloaded (the same document)
//   0xc2        the session file failed to load
//   0xc3-0xc7   a character beyond ASCII (accented, wide, emoji, combining, dotted capital I)
//   0xc8        a paste of the rest of the input
// At most 2,000 events are read: each draws a frame, and longer strings only slow the search.
#include <array>
#include <memory>
#include <string>

#include "app/run_loop.hpp"
#include "frame_drawing.hpp"
#include "fuzz_support.hpp"
#include "model/initial_state.hpp"
#include "model/reload.hpp"
#include "tui/osc52.hpp"

namespace {

constexpr std::array<char32_t, 5> wide_characters = {U'é', U'世', U'🤖', U'\u0301', U'\u0130'};

class EventReader {
 public:
  explicit EventReader(std::string_view bytes) : bytes_(bytes) {}

  bool done() const { return at_ >= bytes_.size(); }
  std::uint8_t byte() { return done() ? 0 : static_cast<std::uint8_t>(bytes_[at_++]); }
  std::string_view rest() {
    std::string_view rest = bytes_.substr(at_);
    at_ = bytes_.size();
    return rest;
  }

 private:
  std::string_view bytes_;
  std::size_t at_ = 0;
};

struct Driver {
  std::string_view document_text;
  qm::AppState& state;
  qm::fuzz::DiscardingOutput& output;
  tui::Terminal& terminal;
  qm::fuzz::MemoryChannel& channel;
  tui::KeyModifiers modifiers;
  tui::KeyKind kind = tui::KeyKind::press;

  // Handles one event; false once the program would stop.
  bool handle(const tui::Event& event) {
    const qm::EventOutcome outcome = qm::handle_event(state, event);
    qm::fuzz::deliver(state, channel, terminal);
    modifiers = {};
    kind = tui::KeyKind::press;
    return !outcome.stop;
  }

  bool key(tui::KeyCode code, char32_t character = 0) {
    return handle(tui::KeyEvent{code, character, modifiers, kind});
  }

  void draw() {
    auto drawn = terminal.draw([&](tui::Frame& frame) { qm::draw_frame(frame, state); });
    if (!drawn) {
      qm::fuzz::broken("a frame could not be written to a terminal that takes everything");
    }
  }

  // Reads and handles one event; false once the program would stop.
  bool step(EventReader& in) {
    const std::uint8_t b = in.byte();
    if (b >= 0x20 && b <= 0x7e) {
      return key(tui::KeyCode::character, b);
    }
    if (b >= 0x80 && b <= 0x9a) {
      return key(static_cast<tui::KeyCode>(b - 0x80 + 1));
    }
    if (b >= 0xa0 && b <= 0xa7) {
      modifiers = {(b & 1) != 0, (b & 2) != 0, (b & 4) != 0};
      return true;
    }
    if (b == 0xa8) {
      kind = tui::KeyKind::release;
      return true;
    }
    if (b >= 0xb0 && b <= 0xb7) {
      tui::MouseEvent mouse;
      mouse.kind = static_cast<tui::MouseKind>(b - 0xb0);
      mouse.button = static_cast<tui::MouseButton>(in.byte() % 4);
      mouse.column = in.byte();
      mouse.row = in.byte();
      mouse.modifiers = modifiers;
      return handle(mouse);
    }
    if (b == 0xc0) {
      output.window.width = static_cast<std::uint16_t>(in.byte() % 210 + 1);
      output.window.height = static_cast<std::uint16_t>(in.byte() % 70 + 1);
      return handle(tui::ResizeEvent{output.window});
    }
    if (b == 0xc1) {
      qm::apply_reload(state, qm::parse_document(document_text));
      return true;
    }
    if (b == 0xc2) {
      qm::apply_reload(state, std::unexpected(qm::Error::os(ENOENT)));
      return true;
    }
    if (b >= 0xc3 && b <= 0xc7) {
      return key(tui::KeyCode::character, wide_characters[b - 0xc3]);
    }
    if (b == 0xc8) {
      return handle(tui::PasteEvent{std::string(in.rest())});
    }
    return true;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input = qm::fuzz::bytes_of(data, size);
  const std::size_t split = input.find('\0');
  if (split == std::string_view::npos) {
    return 0;
  }
  const std::string_view document_text = input.substr(0, split);
  auto document = qm::fuzz::session_of(document_text);
  if (!document) {
    return 0;
  }
  qm::fuzz::MemoryChannel channel;
  qm::AppState state = qm::build_initial_state(*document, true, size % 2 == 0);

  auto owned_output = std::make_unique<qm::fuzz::DiscardingOutput>();
  qm::fuzz::DiscardingOutput& output = *owned_output;
  auto terminal = tui::Terminal::create(std::move(owned_output));
  if (!terminal) {
    qm::fuzz::broken("a terminal over memory could not be made");
  }
  state.record_frame_size(output.window);
  Driver driver{document_text, state, output, *terminal, channel, {}, tui::KeyKind::press};
  driver.draw();
  EventReader in(input.substr(split + 1));
  for (int events = 0; events < 2000 && !in.done() && driver.step(in); ++events) {
    driver.draw();
  }
  return 0;
}
