#include "tui/event_decoder.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "support/event_printing.hpp"

namespace tui {
namespace {

using namespace std::chrono_literals;
using Clock = EventDecoder::Clock;
using Events = std::vector<Event>;

const Clock::time_point start = Clock::time_point{} + 1h;

void drain(EventDecoder& decoder, Clock::time_point now, Events& out) {
  while (auto event = decoder.next(now)) {
    out.push_back(std::move(*event));
  }
}

// Everything `bytes` decode to when fed in pieces of the lengths `next_length` gives, all
// arriving within the wait; then the waits run out, leaving nothing pending.
Events decode(std::string_view bytes, const std::function<std::size_t()>& next_length) {
  EventDecoder decoder;
  Events events;
  for (std::size_t offset = 0; offset < bytes.size();) {
    const std::size_t length = std::min(next_length(), bytes.size() - offset);
    decoder.feed(bytes.substr(offset, length), start);
    drain(decoder, start, events);
    offset += length;
  }
  drain(decoder, start + 2s, events);
  EXPECT_FALSE(decoder.has_pending_bytes());
  return events;
}

KeyEvent key(KeyCode code, KeyModifiers modifiers = {}) {
  return KeyEvent{.code = code, .modifiers = modifiers};
}
// A key that types `c`.
KeyEvent typed(char32_t c, KeyModifiers modifiers = {}) {
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
  Events events;
};

// Sequences that decode the same wherever they stand in the input.
std::vector<Case> unambiguous_cases() {
  using enum KeyCode;
  using enum MouseKind;
  const auto x10 = [](int code, int x, int y) {
    return std::string("\x1b[M") + static_cast<char>(code + 32) + static_cast<char>(x + 32) +
           static_cast<char>(y + 32);
  };
  std::vector<Case> cases;
  // Characters, Ctrl+letter, Alt+key, modifiers, repeat and release, mouse reports, focus and
  // paste.
  const std::pair<std::string, Event> single[] = {
      {"a", typed(U'a')},
      {"Z", typed(U'Z')},
      {"é", typed(U'é')},
      {"中", typed(U'中')},
      {"😀", typed(U'😀')},
      {"\x03", typed(U'c', control)},
      {"\x01", typed(U'a', control)},
      {"\x1a", typed(U'z', control)},
      {"\x1bx", typed(U'x', alt)},
      {"\x1b\x03", typed(U'c', {.alt = true, .control = true})},
      {"\x1bé", typed(U'é', alt)},
      {"\xc3\x28", typed(U'(')},
      {"\x1b[97;5u", typed(U'a', control)},
      {"\x1b[Z", key(back_tab, shift)},
      {"\x1b\r", key(enter, alt)},
      {"\x1b[1;5A", key(up, control)},
      {"\x1b[1;2B", key(down, shift)},
      {"\x1b[1;3C", key(right, alt)},
      {"\x1b[1;8D", key(left, KeyModifiers{true, true, true})},
      {"\x1b[1;5H", key(home, control)},
      {"\x1b[3;5~", key(delete_key, control)},
      {"\x1b[6;2~", key(page_down, shift)},
      {"\x1b[1;2P", key(f1, shift)},
      {"\x1b[15;5~", key(f5, control)},
      {"\x1b[97;1:2u", KeyEvent{character, U'a', {}, KeyKind::repeat}},
      {"\x1b[97;1:3u", KeyEvent{character, U'a', {}, KeyKind::release}},
      {"\x1b[1;1:3A", KeyEvent{up, 0, {}, KeyKind::release}},
      {"\x1b[<0;10;5M", mouse(press, MouseButton::left, 9, 4)},
      {"\x1b[<0;10;5m", mouse(release, MouseButton::left, 9, 4)},
      {"\x1b[<1;1;1M", mouse(press, MouseButton::middle, 0, 0)},
      {"\x1b[<2;300;200M", mouse(press, MouseButton::right, 299, 199)},
      {"\x1b[<32;11;5M", mouse(drag, MouseButton::left, 10, 4)},
      {"\x1b[<35;7;8M", mouse(moved, MouseButton::none, 6, 7)},
      {"\x1b[<64;3;4M", mouse(wheel_up, MouseButton::none, 2, 3)},
      {"\x1b[<65;3;4M", mouse(wheel_down, MouseButton::none, 2, 3)},
      {"\x1b[<66;3;4M", mouse(wheel_left, MouseButton::none, 2, 3)},
      {"\x1b[<67;3;4M", mouse(wheel_right, MouseButton::none, 2, 3)},
      {"\x1b[<20;1;1M", mouse(press, MouseButton::left, 0, 0, {.shift = true, .control = true})},
      {"\x1b[<72;1;1M", mouse(wheel_up, MouseButton::none, 0, 0, alt)},
      {x10(0, 10, 5), mouse(press, MouseButton::left, 9, 4)},
      {x10(3, 10, 5), mouse(release, MouseButton::none, 9, 4)},
      {x10(65, 1, 1), mouse(wheel_down, MouseButton::none, 0, 0)},
      {x10(34, 2, 3), mouse(drag, MouseButton::right, 1, 2)},
      {"\x1b[32;10;5M", mouse(press, MouseButton::left, 9, 4)},
      {"\x1b[35;10;5M", mouse(release, MouseButton::none, 9, 4)},
      {"\x1b[96;1;1M", mouse(wheel_up, MouseButton::none, 0, 0)},
      {"\x1b[I", FocusGained{}},
      {"\x1b[O", FocusLost{}},
      {"\x1b[200~hello\x1b[201~", PasteEvent{"hello"}},
      {"\x1b[200~\x1b[201~", PasteEvent{""}},
      {"\x1b[200~q\x1b[Ab\r\nc\x1b[20\x1b[201~", PasteEvent{"q\x1b[Ab\r\nc\x1b[20"}},
  };
  for (const auto& [bytes, event] : single) {
    cases.push_back({bytes, {event}});
  }
  // Keys without modifiers in their control, CSI, SS3 and Linux console forms.
  const std::pair<std::string, KeyCode> keys[] = {
      {"\r", enter},          {"\n", enter},           {"\t", tab},
      {"\x7f", backspace},    {"\x08", backspace},     {"\x1b[A", up},
      {"\x1b[B", down},       {"\x1b[C", right},       {"\x1b[D", left},
      {"\x1bOA", up},         {"\x1bOB", down},        {"\x1bOC", right},
      {"\x1bOD", left},       {"\x1b[H", home},        {"\x1b[F", end},
      {"\x1bOH", home},       {"\x1bOF", end},         {"\x1b[1~", home},
      {"\x1b[4~", end},       {"\x1b[7~", home},       {"\x1b[8~", end},
      {"\x1b[2~", insert},    {"\x1b[3~", delete_key}, {"\x1b[5~", page_up},
      {"\x1b[6~", page_down}, {"\x1bOP", f1},          {"\x1bOQ", f2},
      {"\x1bOR", f3},         {"\x1bOS", f4},          {"\x1b[11~", f1},
      {"\x1b[15~", f5},       {"\x1b[17~", f6},        {"\x1b[18~", f7},
      {"\x1b[19~", f8},       {"\x1b[20~", f9},        {"\x1b[21~", f10},
      {"\x1b[23~", f11},      {"\x1b[24~", f12},       {"\x1b[[A", f1},
      {"\x1b[[E", f5},        {"\x1b[13u", enter},
  };
  for (const auto& [bytes, code] : keys) {
    cases.push_back({bytes, {key(code)}});
  }
  // Unknown and malformed sequences and invalid UTF-8: nothing.
  for (std::string bytes :
       {"\x1b[99~", "\x1b[201~", "\x1b[1;2;3;4;5;6;7;8;9A", "\x1b[<0;1M", "\x1b[<128;1;1M",
        "\x1b[1$A", "\x1b[?1;2c", "\x1bOx", "\xff", "\xed\xa0\x80", "\x80"}) {
    cases.push_back({bytes, {}});
  }
  cases.push_back({"\x1b[" + std::string(100, '1') + "A", {}});
  return cases;
}

TEST(EventDecoder, DecodesEveryFormWholeAndByteByByte) {
  for (const Case& c : unambiguous_cases()) {
    SCOPED_TRACE(::testing::PrintToString(c.bytes));
    EXPECT_EQ(decode(c.bytes, [&] { return c.bytes.size(); }), c.events) << "whole";
    EXPECT_EQ(decode(c.bytes, [] { return 1; }), c.events) << "byte by byte";
  }
}

TEST(EventDecoder, DecodesSequencesInAnyOrderAndAnySplit) {
  const std::vector<Case> cases = unambiguous_cases();
  std::mt19937 random(7);
  for (int round = 0; round < 200; ++round) {
    std::string bytes;
    Events expected;
    for (int i = 0; i < 12; ++i) {
      const Case& c = cases[random() % cases.size()];
      bytes += c.bytes;
      expected.insert(expected.end(), c.events.begin(), c.events.end());
    }
    ASSERT_EQ(decode(bytes, [&] { return 1 + random() % 9; }), expected)
        << ::testing::PrintToString(bytes);
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
  EXPECT_EQ(decoder.next(start + 70ms), Event(typed(U'x')));

  // A key within the wait makes Alt+key.
  decoder.feed("\x1b", start + 1s);
  EXPECT_EQ(decoder.next(start + 1s), std::nullopt);
  decoder.feed("x", start + 1s + 10ms);
  EXPECT_EQ(decoder.next(start + 1s + 10ms), Event(typed(U'x', alt)));

  // Two escapes: the first is a key at once, the second waits.
  decoder.feed("\x1b\x1b", start + 2s);
  EXPECT_EQ(decoder.next(start + 2s), Event(key(KeyCode::escape)));
  EXPECT_EQ(decoder.next(start + 2s), std::nullopt);
  EXPECT_EQ(decoder.next(start + 3s), Event(key(KeyCode::escape)));

  // Unfinished sequences are read as they stand once the wait is over.
  const std::vector<std::pair<std::string, Events>> unfinished{
      {"\x1b[", {typed(U'[', alt)}},
      {"\x1bO", {typed(U'O', alt)}},
      {"\x1b[1;5", {}},
      {"\x1b[M ", {}},
      {"\xe4\xb8", {}},
  };
  for (const auto& [bytes, events] : unfinished) {
    SCOPED_TRACE(::testing::PrintToString(bytes));
    EventDecoder pending;
    pending.feed(bytes, start);
    EXPECT_EQ(pending.next(start + 10ms), std::nullopt);
    Events got;
    drain(pending, start + 50ms, got);
    EXPECT_EQ(got, events);
    pending.feed("a", start + 60ms);
    EXPECT_EQ(pending.next(start + 60ms), Event(typed(U'a')));
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
  EXPECT_EQ(decoder.next(start + 2s), Event(typed(U'q')));
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
