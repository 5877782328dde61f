#include "tui/event_decoder.hpp"

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace tui {
namespace {

using namespace std::chrono_literals;
using Clock = EventDecoder::Clock;

const Clock::time_point start = Clock::time_point{} + 1h;

std::string describe_modifiers(const KeyModifiers& modifiers) {
  std::string out;
  if (modifiers.shift)
    out += "shift+";
  if (modifiers.alt)
    out += "alt+";
  if (modifiers.control)
    out += "ctrl+";
  return out;
}

std::string describe(const Event& event) {
  std::ostringstream out;
  if (const auto* key = std::get_if<KeyEvent>(&event)) {
    out << "key(" << describe_modifiers(key->modifiers) << static_cast<int>(key->code) << " U+"
        << std::hex << static_cast<uint32_t>(key->character) << std::dec << " kind "
        << static_cast<int>(key->kind) << ")";
  } else if (const auto* mouse = std::get_if<MouseEvent>(&event)) {
    out << "mouse(" << describe_modifiers(mouse->modifiers) << "kind "
        << static_cast<int>(mouse->kind) << " button " << static_cast<int>(mouse->button) << " at "
        << mouse->column << "," << mouse->row << ")";
  } else if (const auto* paste = std::get_if<PasteEvent>(&event)) {
    out << "paste(" << paste->text << ")";
  } else if (std::holds_alternative<FocusGained>(event)) {
    out << "focus gained";
  } else if (std::holds_alternative<FocusLost>(event)) {
    out << "focus lost";
  } else {
    out << "resize";
  }
  return out.str();
}

std::string describe(const std::vector<Event>& events) {
  std::string out = "[";
  for (const Event& event : events) {
    out += describe(event) + " ";
  }
  return out + "]";
}

void drain(EventDecoder& decoder, Clock::time_point now, std::vector<Event>& out) {
  while (auto event = decoder.next(now)) {
    out.push_back(std::move(*event));
  }
}

// Everything `bytes` decode to, fed at once; then the waits run out.
std::vector<Event> decode_whole(std::string_view bytes) {
  EventDecoder decoder;
  std::vector<Event> events;
  decoder.feed(bytes, start);
  drain(decoder, start, events);
  drain(decoder, start + 2s, events);
  EXPECT_FALSE(decoder.has_pending_bytes());
  return events;
}

// The same, one byte per read, all arriving within the wait.
std::vector<Event> decode_bytewise(std::string_view bytes) {
  EventDecoder decoder;
  std::vector<Event> events;
  for (const char byte : bytes) {
    decoder.feed(std::string_view(&byte, 1), start);
    drain(decoder, start, events);
  }
  drain(decoder, start + 2s, events);
  EXPECT_FALSE(decoder.has_pending_bytes());
  return events;
}

void expect_decodes(std::string_view bytes, const std::vector<Event>& expected) {
  const std::vector<Event> whole = decode_whole(bytes);
  EXPECT_EQ(whole, expected) << "whole, got " << describe(whole) << " want " << describe(expected);
  const std::vector<Event> bytewise = decode_bytewise(bytes);
  EXPECT_EQ(bytewise, expected) << "bytewise, got " << describe(bytewise);
}

KeyEvent key(KeyCode code, KeyModifiers modifiers = {}) {
  return KeyEvent{.code = code, .modifiers = modifiers};
}
KeyEvent character(char32_t c, KeyModifiers modifiers = {}) {
  return KeyEvent{.code = KeyCode::character, .character = c, .modifiers = modifiers};
}
MouseEvent mouse(MouseKind kind, MouseButton button, uint16_t column, uint16_t row,
                 KeyModifiers modifiers = {}) {
  return MouseEvent{kind, button, column, row, modifiers};
}

constexpr KeyModifiers shift{.shift = true};
constexpr KeyModifiers alt{.alt = true};
constexpr KeyModifiers control{.control = true};

struct Case {
  std::string bytes;
  std::vector<Event> events;
};

// Sequences that decode the same wherever they stand in the input.
std::vector<Case> unambiguous_cases() {
  const auto x10 = [](int code, int x, int y) {
    return std::string("\x1b[M") + static_cast<char>(code + 32) + static_cast<char>(x + 32) +
           static_cast<char>(y + 32);
  };
  return {
      {"a", {character(U'a')}},
      {"Z", {character(U'Z')}},
      {"é", {character(U'é')}},
      {"中", {character(U'中')}},
      {"😀", {character(U'😀')}},
      {"\x03", {character(U'c', control)}},
      {"\x01", {character(U'a', control)}},
      {"\x1a", {character(U'z', control)}},
      {"\r", {key(KeyCode::enter)}},
      {"\n", {key(KeyCode::enter)}},
      {"\t", {key(KeyCode::tab)}},
      {"\x1b[Z", {key(KeyCode::back_tab, shift)}},
      {"\x7f", {key(KeyCode::backspace)}},
      {"\x08", {key(KeyCode::backspace)}},
      {"\x1bx", {character(U'x', alt)}},
      {"\x1b\x03", {character(U'c', KeyModifiers{.alt = true, .control = true})}},
      {"\x1b\r", {key(KeyCode::enter, alt)}},
      {"\x1bé", {character(U'é', alt)}},
      {"\x1b[A", {key(KeyCode::up)}},
      {"\x1b[B", {key(KeyCode::down)}},
      {"\x1b[C", {key(KeyCode::right)}},
      {"\x1b[D", {key(KeyCode::left)}},
      {"\x1bOA", {key(KeyCode::up)}},
      {"\x1bOB", {key(KeyCode::down)}},
      {"\x1bOC", {key(KeyCode::right)}},
      {"\x1bOD", {key(KeyCode::left)}},
      {"\x1b[H", {key(KeyCode::home)}},
      {"\x1b[F", {key(KeyCode::end)}},
      {"\x1bOH", {key(KeyCode::home)}},
      {"\x1bOF", {key(KeyCode::end)}},
      {"\x1b[1~", {key(KeyCode::home)}},
      {"\x1b[4~", {key(KeyCode::end)}},
      {"\x1b[7~", {key(KeyCode::home)}},
      {"\x1b[8~", {key(KeyCode::end)}},
      {"\x1b[2~", {key(KeyCode::insert)}},
      {"\x1b[3~", {key(KeyCode::delete_key)}},
      {"\x1b[5~", {key(KeyCode::page_up)}},
      {"\x1b[6~", {key(KeyCode::page_down)}},
      {"\x1bOP", {key(KeyCode::f1)}},
      {"\x1bOQ", {key(KeyCode::f2)}},
      {"\x1bOR", {key(KeyCode::f3)}},
      {"\x1bOS", {key(KeyCode::f4)}},
      {"\x1b[11~", {key(KeyCode::f1)}},
      {"\x1b[15~", {key(KeyCode::f5)}},
      {"\x1b[17~", {key(KeyCode::f6)}},
      {"\x1b[18~", {key(KeyCode::f7)}},
      {"\x1b[19~", {key(KeyCode::f8)}},
      {"\x1b[20~", {key(KeyCode::f9)}},
      {"\x1b[21~", {key(KeyCode::f10)}},
      {"\x1b[23~", {key(KeyCode::f11)}},
      {"\x1b[24~", {key(KeyCode::f12)}},
      {"\x1b[[A", {key(KeyCode::f1)}},
      {"\x1b[[E", {key(KeyCode::f5)}},
      {"\x1b[1;5A", {key(KeyCode::up, control)}},
      {"\x1b[1;2B", {key(KeyCode::down, shift)}},
      {"\x1b[1;3C", {key(KeyCode::right, alt)}},
      {"\x1b[1;8D", {key(KeyCode::left, KeyModifiers{true, true, true})}},
      {"\x1b[1;5H", {key(KeyCode::home, control)}},
      {"\x1b[3;5~", {key(KeyCode::delete_key, control)}},
      {"\x1b[6;2~", {key(KeyCode::page_down, shift)}},
      {"\x1b[1;2P", {key(KeyCode::f1, shift)}},
      {"\x1b[15;5~", {key(KeyCode::f5, control)}},
      {"\x1b[97;5u", {character(U'a', control)}},
      {"\x1b[13u", {key(KeyCode::enter)}},
      {"\x1b[97;1:2u", {KeyEvent{KeyCode::character, U'a', {}, KeyKind::repeat}}},
      {"\x1b[97;1:3u", {KeyEvent{KeyCode::character, U'a', {}, KeyKind::release}}},
      {"\x1b[1;1:3A", {KeyEvent{KeyCode::up, 0, {}, KeyKind::release}}},
      {"\x1b[<0;10;5M", {mouse(MouseKind::press, MouseButton::left, 9, 4)}},
      {"\x1b[<0;10;5m", {mouse(MouseKind::release, MouseButton::left, 9, 4)}},
      {"\x1b[<1;1;1M", {mouse(MouseKind::press, MouseButton::middle, 0, 0)}},
      {"\x1b[<2;300;200M", {mouse(MouseKind::press, MouseButton::right, 299, 199)}},
      {"\x1b[<32;11;5M", {mouse(MouseKind::drag, MouseButton::left, 10, 4)}},
      {"\x1b[<35;7;8M", {mouse(MouseKind::moved, MouseButton::none, 6, 7)}},
      {"\x1b[<64;3;4M", {mouse(MouseKind::wheel_up, MouseButton::none, 2, 3)}},
      {"\x1b[<65;3;4M", {mouse(MouseKind::wheel_down, MouseButton::none, 2, 3)}},
      {"\x1b[<66;3;4M", {mouse(MouseKind::wheel_left, MouseButton::none, 2, 3)}},
      {"\x1b[<67;3;4M", {mouse(MouseKind::wheel_right, MouseButton::none, 2, 3)}},
      {"\x1b[<20;1;1M",
       {mouse(MouseKind::press, MouseButton::left, 0, 0,
              KeyModifiers{.shift = true, .control = true})}},
      {"\x1b[<72;1;1M", {mouse(MouseKind::wheel_up, MouseButton::none, 0, 0, alt)}},
      {x10(0, 10, 5), {mouse(MouseKind::press, MouseButton::left, 9, 4)}},
      {x10(3, 10, 5), {mouse(MouseKind::release, MouseButton::none, 9, 4)}},
      {x10(65, 1, 1), {mouse(MouseKind::wheel_down, MouseButton::none, 0, 0)}},
      {x10(34, 2, 3), {mouse(MouseKind::drag, MouseButton::right, 1, 2)}},
      {"\x1b[32;10;5M", {mouse(MouseKind::press, MouseButton::left, 9, 4)}},
      {"\x1b[35;10;5M", {mouse(MouseKind::release, MouseButton::none, 9, 4)}},
      {"\x1b[96;1;1M", {mouse(MouseKind::wheel_up, MouseButton::none, 0, 0)}},
      {"\x1b[I", {FocusGained{}}},
      {"\x1b[O", {FocusLost{}}},
      {"\x1b[200~hello\x1b[201~", {PasteEvent{"hello"}}},
      {"\x1b[200~\x1b[201~", {PasteEvent{""}}},
      {"\x1b[200~q\x1b[Ab\r\nc\x1b[20\x1b[201~", {PasteEvent{"q\x1b[Ab\r\nc\x1b[20"}}},
      // Unknown and malformed sequences: nothing.
      {"\x1b[99~", {}},
      {"\x1b[201~", {}},
      {"\x1b[1;2;3;4;5;6;7;8;9A", {}},
      {"\x1b[<0;1M", {}},
      {"\x1b[<128;1;1M", {}},
      {"\x1b[1$A", {}},
      {"\x1b[?1;2c", {}},
      {"\x1bOx", {}},
      {"\x1b[" + std::string(100, '1') + "A", {}},
      {"\xff", {}},
      {"\xc3\x28", {character(U'(')}},
      {"\xed\xa0\x80", {}},
      {"\x80", {}},
  };
}

TEST(EventDecoder, DecodesEveryFormWholeAndByteByByte) {
  for (const Case& c : unambiguous_cases()) {
    SCOPED_TRACE(testing::PrintToString(c.bytes));
    expect_decodes(c.bytes, c.events);
  }
}

TEST(EventDecoder, DecodesSequencesInAnyOrderAndAnySplit) {
  const std::vector<Case> cases = unambiguous_cases();
  std::mt19937 random(7);
  for (int round = 0; round < 200; ++round) {
    std::string bytes;
    std::vector<Event> expected;
    for (int i = 0; i < 12; ++i) {
      const Case& c = cases[random() % cases.size()];
      bytes += c.bytes;
      expected.insert(expected.end(), c.events.begin(), c.events.end());
    }
    EventDecoder decoder;
    std::vector<Event> events;
    for (std::size_t offset = 0; offset < bytes.size();) {
      const std::size_t length = std::min<std::size_t>(1 + random() % 9, bytes.size() - offset);
      decoder.feed(std::string_view(bytes).substr(offset, length), start);
      drain(decoder, start, events);
      offset += length;
    }
    drain(decoder, start + 2s, events);
    ASSERT_EQ(events, expected) << testing::PrintToString(bytes) << "\n" << describe(events);
  }
}

TEST(EventDecoder, LoneEscapeIsTheEscKeyOnlyAfterTheWait) {
  EventDecoder decoder;
  decoder.feed("\x1b", start);
  EXPECT_EQ(decoder.next(start), std::nullopt);
  EXPECT_EQ(decoder.time_until_resolved(start + 20ms), Clock::duration(30ms));
  EXPECT_EQ(decoder.next(start + 49ms), std::nullopt);
  EXPECT_EQ(decoder.next(start + 50ms), Event(key(KeyCode::escape)));
  EXPECT_EQ(decoder.time_until_resolved(start + 50ms), std::nullopt);
  // A key after the wait is a key of its own.
  decoder.feed("x", start + 70ms);
  EXPECT_EQ(decoder.next(start + 70ms), Event(character(U'x')));

  // A key within the wait makes Alt+key.
  decoder.feed("\x1b", start + 1s);
  EXPECT_EQ(decoder.next(start + 1s), std::nullopt);
  decoder.feed("x", start + 1s + 10ms);
  EXPECT_EQ(decoder.next(start + 1s + 10ms), Event(character(U'x', alt)));

  // Two escapes: the first is a key at once, the second waits.
  decoder.feed("\x1b\x1b", start + 2s);
  EXPECT_EQ(decoder.next(start + 2s), Event(key(KeyCode::escape)));
  EXPECT_EQ(decoder.next(start + 2s), std::nullopt);
  EXPECT_EQ(decoder.next(start + 3s), Event(key(KeyCode::escape)));

  // Unfinished sequences are read as they stand once the wait is over.
  const std::vector<std::pair<std::string, std::vector<Event>>> unfinished{
      {"\x1b[", {character(U'[', alt)}},
      {"\x1bO", {character(U'O', alt)}},
      {"\x1b[1;5", {}},
      {"\x1b[M ", {}},
      {"\xe4\xb8", {}},
  };
  for (const auto& [bytes, events] : unfinished) {
    SCOPED_TRACE(testing::PrintToString(bytes));
    EventDecoder pending;
    pending.feed(bytes, start);
    EXPECT_EQ(pending.next(start + 10ms), std::nullopt);
    std::vector<Event> got;
    drain(pending, start + 50ms, got);
    EXPECT_EQ(got, events) << describe(got);
    pending.feed("a", start + 60ms);
    EXPECT_EQ(pending.next(start + 60ms), Event(character(U'a')));
  }
}

TEST(EventDecoder, UnfinishedPasteIsHandedOverAfterItsWait) {
  EventDecoder decoder;
  decoder.feed("\x1b[200~abc\x1b[2", start);
  EXPECT_EQ(decoder.next(start + 500ms), std::nullopt);
  EXPECT_EQ(decoder.time_until_resolved(start + 500ms), Clock::duration(500ms));
  EXPECT_EQ(decoder.next(start + 1s), Event(PasteEvent{"abc\x1b[2"}));
  // Keys typed afterwards are keys again.
  decoder.feed("q", start + 2s);
  EXPECT_EQ(decoder.next(start + 2s), Event(character(U'q')));
}

TEST(EventDecoder, RandomBytesNeverCrashAndAlwaysDrain) {
  std::mt19937 random(12345);
  // Bytes that steer the decoder into its sequences more often than uniform noise would.
  const std::string interesting = "\x1b[O<M;~0123456789:uZIm\x80\xc3\xe4\xf0\xff\r\x7f";
  for (int round = 0; round < 20000; ++round) {
    EventDecoder decoder;
    Clock::time_point now = start;
    const int chunks = 1 + static_cast<int>(random() % 6);
    for (int chunk = 0; chunk < chunks; ++chunk) {
      std::string bytes;
      const int length = static_cast<int>(random() % 24);
      for (int i = 0; i < length; ++i) {
        bytes += random() % 3 == 0 ? static_cast<char>(random() % 256)
                                   : interesting[random() % interesting.size()];
      }
      decoder.feed(bytes, now);
      int taken = 0;
      while (decoder.next(now)) {
        ASSERT_LE(++taken, 64);
      }
      now += std::chrono::milliseconds(random() % 80);
    }
    int taken = 0;
    while (decoder.next(now + 2s)) {
      ASSERT_LE(++taken, 200);
    }
    ASSERT_FALSE(decoder.has_pending_bytes());
  }
}

}  // namespace
}  // namespace tui
