#include "tui/event_decoder.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

#include "base/unicode.hpp"

namespace tui {
namespace {

constexpr char escape = '\x1b';
constexpr std::string_view paste_end = "\x1b[201~";
// Longer control sequences are not something a terminal sends as input: they are dropped whole.
constexpr std::size_t max_sequence_length = 64;
constexpr std::size_t max_pending_sequence = 4096;

enum class Outcome { event, nothing, incomplete, paste_start };

struct Parsed {
  Outcome outcome = Outcome::nothing;
  std::size_t consumed = 0;
  std::optional<Event> event;
};

Parsed incomplete() {
  return Parsed{Outcome::incomplete, 0, std::nullopt};
}
Parsed nothing(std::size_t consumed) {
  return Parsed{Outcome::nothing, consumed, std::nullopt};
}
Parsed emit(std::size_t consumed, Event event) {
  return Parsed{Outcome::event, consumed, std::move(event)};
}

KeyEvent key(KeyCode code, KeyModifiers modifiers = {}) {
  return KeyEvent{.code = code, .modifiers = modifiers};
}
KeyEvent character_key(char32_t character, KeyModifiers modifiers = {}) {
  return KeyEvent{.code = KeyCode::character, .character = character, .modifiers = modifiers};
}

KeyCode function_key(unsigned number) {
  return static_cast<KeyCode>(static_cast<unsigned>(KeyCode::f1) + number - 1);
}

// The bytes of a UTF-8 sequence with this lead byte, or 0 for a byte that cannot lead one.
std::size_t utf8_length(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF)
    return 2;
  if (lead >= 0xE0 && lead <= 0xEF)
    return 3;
  if (lead >= 0xF0 && lead <= 0xF4)
    return 4;
  return 0;
}

// One key that is not an escape sequence: a control byte or a UTF-8 character.
Parsed parse_plain_key(std::string_view input, bool final, KeyModifiers modifiers) {
  const auto byte = static_cast<unsigned char>(input[0]);
  switch (byte) {
    case '\r':
    case '\n':
      return emit(1, key(KeyCode::enter, modifiers));
    case '\t':
      return emit(1, key(KeyCode::tab, modifiers));
    case 0x7F:
    case 0x08:
      return emit(1, key(KeyCode::backspace, modifiers));
    case 0x1B:
      return emit(1, key(KeyCode::escape, modifiers));
    default:
      break;
  }
  if (byte < 0x20) {
    modifiers.control = true;
    if (byte == 0) {
      return emit(1, character_key(U' ', modifiers));
    }
    if (byte <= 0x1A) {
      return emit(1, character_key(U'a' + (byte - 1), modifiers));
    }
    constexpr std::array<char32_t, 4> punctuation{U'\\', U']', U'^', U'_'};
    return emit(1, character_key(punctuation[byte - 0x1C], modifiers));
  }
  if (byte < 0x80) {
    return emit(1, character_key(byte, modifiers));
  }
  const std::size_t length = utf8_length(byte);
  if (length == 0) {
    return nothing(1);
  }
  for (std::size_t i = 1; i < length; ++i) {
    if (i == input.size()) {
      return final ? nothing(1) : incomplete();
    }
    if ((static_cast<unsigned char>(input[i]) & 0xC0) != 0x80) {
      return nothing(1);
    }
  }
  const base::DecodedChar decoded = base::decode_utf8(input.substr(0, length), 0);
  if (decoded.length != length) {
    return nothing(1);
  }
  return emit(length, character_key(decoded.value, modifiers));
}

// The numbers of a control sequence: up to eight parameters separated by ';', each with up to
// two sub-parameters after ':'. Missing numbers are 0; values saturate above the last code point.
struct Parameters {
  static constexpr std::size_t capacity = 8;
  std::array<std::array<uint32_t, 3>, capacity> values{};
  std::size_t count = 0;

  uint32_t get(std::size_t index, std::size_t sub = 0) const {
    return index < count ? values[index][sub] : 0;
  }
};

std::optional<Parameters> parse_parameters(std::string_view text) {
  Parameters parameters;
  if (text.empty()) {
    return parameters;
  }
  std::size_t sub = 0;
  parameters.count = 1;
  for (const char c : text) {
    if (c >= '0' && c <= '9') {
      uint32_t& value = parameters.values[parameters.count - 1][sub];
      value = std::min<uint32_t>(value * 10 + static_cast<uint32_t>(c - '0'), 0x110000);
    } else if (c == ';') {
      if (parameters.count == Parameters::capacity) {
        return std::nullopt;
      }
      ++parameters.count;
      sub = 0;
    } else if (c == ':') {
      if (++sub == 3) {
        return std::nullopt;
      }
    } else {
      return std::nullopt;
    }
  }
  return parameters;
}

// xterm's modifier parameter: 1 + a bit set of shift 1, alt 2, control 4.
KeyModifiers modifiers_from(uint32_t parameter) {
  if (parameter < 1) {
    return {};
  }
  const uint32_t bits = parameter - 1;
  return KeyModifiers{.shift = (bits & 1) != 0, .alt = (bits & 2) != 0, .control = (bits & 4) != 0};
}

KeyKind kind_from(uint32_t event_type) {
  switch (event_type) {
    case 2:
      return KeyKind::repeat;
    case 3:
      return KeyKind::release;
    default:
      return KeyKind::press;
  }
}

// A key with the modifiers and event type carried by the second parameter.
Event modified_key(KeyCode code, const Parameters& parameters) {
  KeyEvent event = key(code, modifiers_from(parameters.get(1)));
  event.kind = kind_from(parameters.get(1, 1));
  return event;
}

uint16_t to_cell(uint32_t one_based) {
  return static_cast<uint16_t>(std::min<uint32_t>(one_based > 0 ? one_based - 1 : 0, 65535));
}

// A mouse report: `code` is the button code without any offset, `x` and `y` count from 1.
std::optional<Event> mouse_event(uint32_t code, uint32_t x, uint32_t y, bool released) {
  MouseEvent event;
  event.column = to_cell(x);
  event.row = to_cell(y);
  event.modifiers =
      KeyModifiers{.shift = (code & 4) != 0, .alt = (code & 8) != 0, .control = (code & 16) != 0};
  const uint32_t low = code & 3;
  constexpr std::array<MouseButton, 4> buttons{MouseButton::left, MouseButton::middle,
                                               MouseButton::right, MouseButton::none};
  if ((code & 128) != 0) {
    return std::nullopt;
  }
  if ((code & 64) != 0) {
    if (released) {
      return std::nullopt;
    }
    constexpr std::array<MouseKind, 4> wheels{MouseKind::wheel_up, MouseKind::wheel_down,
                                              MouseKind::wheel_left, MouseKind::wheel_right};
    event.kind = wheels[low];
    return event;
  }
  event.button = buttons[low];
  if ((code & 32) != 0) {
    event.kind = low == 3 ? MouseKind::moved : MouseKind::drag;
  } else if (released || low == 3) {
    event.kind = MouseKind::release;
  } else {
    event.kind = MouseKind::press;
  }
  return event;
}

std::optional<KeyCode> tilde_key(uint32_t number) {
  switch (number) {
    case 1:
    case 7:
      return KeyCode::home;
    case 2:
      return KeyCode::insert;
    case 3:
      return KeyCode::delete_key;
    case 4:
    case 8:
      return KeyCode::end;
    case 5:
      return KeyCode::page_up;
    case 6:
      return KeyCode::page_down;
    case 23:
      return KeyCode::f11;
    case 24:
      return KeyCode::f12;
    default:
      break;
  }
  if (number >= 11 && number <= 15)
    return function_key(number - 10);
  if (number >= 17 && number <= 21)
    return function_key(number - 11);
  return std::nullopt;
}

std::optional<KeyCode> letter_key(char final) {
  switch (final) {
    case 'A':
      return KeyCode::up;
    case 'B':
      return KeyCode::down;
    case 'C':
      return KeyCode::right;
    case 'D':
      return KeyCode::left;
    case 'H':
      return KeyCode::home;
    case 'F':
      return KeyCode::end;
    case 'P':
      return KeyCode::f1;
    case 'Q':
      return KeyCode::f2;
    case 'R':
      return KeyCode::f3;
    case 'S':
      return KeyCode::f4;
    default:
      return std::nullopt;
  }
}

// CSI code;modifiers:type u, the keyboard protocol that reports every key unambiguously.
std::optional<Event> unicode_key(const Parameters& parameters) {
  const uint32_t code = parameters.get(0);
  KeyEvent event;
  switch (code) {
    case 13:
      event.code = KeyCode::enter;
      break;
    case 9:
      event.code = KeyCode::tab;
      break;
    case 127:
    case 8:
      event.code = KeyCode::backspace;
      break;
    case 27:
      event.code = KeyCode::escape;
      break;
    default:
      // Control characters and the protocol's private-use codes of other keys are not text.
      if (code < 0x20 || (code >= 0x7F && code < 0xA0) || (code >= 0xD800 && code < 0xE000) ||
          (code >= 0xE000 && code < 0xF900) || code > 0x10FFFF) {
        return std::nullopt;
      }
      event.code = KeyCode::character;
      event.character = static_cast<char32_t>(code);
      break;
  }
  event.modifiers = modifiers_from(parameters.get(1));
  event.kind = kind_from(parameters.get(1, 1));
  return event;
}

std::optional<Event> interpret_csi(char marker, std::string_view numbers, bool has_intermediate,
                                   char final) {
  if (has_intermediate) {
    return std::nullopt;
  }
  const std::optional<Parameters> parsed = parse_parameters(numbers);
  if (!parsed) {
    return std::nullopt;
  }
  const Parameters& parameters = *parsed;
  if (marker == '<') {
    if ((final != 'M' && final != 'm') || parameters.count != 3) {
      return std::nullopt;
    }
    return mouse_event(parameters.get(0), parameters.get(1), parameters.get(2), final == 'm');
  }
  if (marker != 0) {
    return std::nullopt;
  }
  if (const std::optional<KeyCode> code = letter_key(final)) {
    return modified_key(*code, parameters);
  }
  switch (final) {
    case 'Z':
      return key(KeyCode::back_tab, KeyModifiers{.shift = true});
    case '~':
      if (const std::optional<KeyCode> code = tilde_key(parameters.get(0))) {
        return modified_key(*code, parameters);
      }
      return std::nullopt;
    case 'I':
      return parameters.count == 0 ? std::optional<Event>(FocusGained{}) : std::nullopt;
    case 'O':
      return parameters.count == 0 ? std::optional<Event>(FocusLost{}) : std::nullopt;
    case 'M':
      if (parameters.count != 3 || parameters.get(0) < 32) {
        return std::nullopt;
      }
      return mouse_event(parameters.get(0) - 32, parameters.get(1), parameters.get(2), false);
    case 'u':
      return unicode_key(parameters);
    default:
      return std::nullopt;
  }
}

// ESC [ M followed by three bytes, each offset by 32.
Parsed parse_x10_mouse(std::string_view input, bool final) {
  constexpr std::size_t length = 6;
  if (input.size() < length) {
    return final ? nothing(input.size()) : incomplete();
  }
  const auto code = static_cast<unsigned char>(input[3]);
  const auto x = static_cast<unsigned char>(input[4]);
  const auto y = static_cast<unsigned char>(input[5]);
  if (code < 32 || x < 32 || y < 32) {
    return nothing(length);
  }
  if (auto event = mouse_event(code - 32u, x - 32u, y - 32u, false)) {
    return emit(length, std::move(*event));
  }
  return nothing(length);
}

// Input that starts with ESC [.
Parsed parse_csi(std::string_view input, bool final) {
  if (input.size() == 2) {
    return final ? emit(2, character_key(U'[', KeyModifiers{.alt = true})) : incomplete();
  }
  if (input[2] == 'M') {
    return parse_x10_mouse(input, final);
  }
  if (input[2] == '[') {
    // The Linux console's F1 to F5: ESC [ [ A to ESC [ [ E.
    if (input.size() < 4) {
      return final ? nothing(3) : incomplete();
    }
    if (input[3] >= 'A' && input[3] <= 'E') {
      return emit(4, key(function_key(static_cast<unsigned>(input[3] - 'A') + 1)));
    }
    return nothing(4);
  }
  std::size_t i = 2;
  char marker = 0;
  if (input[i] >= '<' && input[i] <= '?') {
    marker = input[i];
    ++i;
  }
  const std::size_t numbers_start = i;
  while (i < input.size() && input[i] >= 0x30 && input[i] <= 0x3F) {
    ++i;
  }
  const std::size_t numbers_end = i;
  while (i < input.size() && input[i] >= 0x20 && input[i] <= 0x2F) {
    ++i;
  }
  if (i == input.size()) {
    // A sequence that never ends is dropped once it is longer than any a terminal sends.
    return final || i > max_pending_sequence ? nothing(i) : incomplete();
  }
  const char last = input[i];
  if (last < 0x40 || last > 0x7E) {
    // Broken off by a byte that cannot end a sequence; that byte is read on its own.
    return nothing(i);
  }
  if (i >= max_sequence_length) {
    return nothing(i + 1);
  }
  const std::string_view numbers = input.substr(numbers_start, numbers_end - numbers_start);
  if (marker == 0 && last == '~' && numbers == "200") {
    return Parsed{Outcome::paste_start, i + 1, std::nullopt};
  }
  if (auto event = interpret_csi(marker, numbers, numbers_end != i, last)) {
    return emit(i + 1, std::move(*event));
  }
  return nothing(i + 1);
}

// Input that starts with ESC O.
Parsed parse_ss3(std::string_view input, bool final) {
  if (input.size() == 2) {
    return final ? emit(2, character_key(U'O', KeyModifiers{.alt = true})) : incomplete();
  }
  if (input[2] == 'M') {
    return emit(3, key(KeyCode::enter));
  }
  if (const std::optional<KeyCode> code = letter_key(input[2])) {
    return emit(3, key(*code));
  }
  return nothing(3);
}

Parsed parse(std::string_view input, bool final) {
  if (input[0] != escape) {
    return parse_plain_key(input, final, {});
  }
  if (input.size() == 1) {
    return final ? emit(1, key(KeyCode::escape)) : incomplete();
  }
  switch (input[1]) {
    case '[':
      return parse_csi(input, final);
    case 'O':
      return parse_ss3(input, final);
    case escape:
      return emit(1, key(KeyCode::escape));
    default:
      break;
  }
  Parsed alt_key = parse_plain_key(input.substr(1), final, KeyModifiers{.alt = true});
  if (alt_key.outcome == Outcome::incomplete) {
    return alt_key;
  }
  alt_key.consumed += 1;
  return alt_key;
}

// The length of the longest end of `text` that begins the paste end marker.
std::size_t marker_prefix_at_end(std::string_view text) {
  for (std::size_t length = std::min(text.size(), paste_end.size() - 1); length > 0; --length) {
    if (text.substr(text.size() - length) == paste_end.substr(0, length)) {
      return length;
    }
  }
  return 0;
}

}  // namespace

void EventDecoder::feed(std::string_view bytes, Clock::time_point now) {
  if (bytes.empty()) {
    return;
  }
  if (start_ == pending_.size()) {
    pending_.clear();
    start_ = 0;
  } else if (start_ > 4096 && start_ * 2 > pending_.size()) {
    pending_.erase(0, start_);
    start_ = 0;
  }
  pending_ += bytes;
  last_input_ = now;
}

std::optional<Event> EventDecoder::next_paste(Clock::time_point now) {
  const std::string_view rest = std::string_view(pending_).substr(start_);
  const std::size_t end = rest.find(paste_end);
  if (end != std::string_view::npos) {
    paste_.append(rest.substr(0, end));
    start_ += end + paste_end.size();
    in_paste_ = false;
    return PasteEvent{std::exchange(paste_, {})};
  }
  // Keep a possible start of the end marker; the rest is surely text.
  const std::size_t keep = marker_prefix_at_end(rest);
  paste_.append(rest.substr(0, rest.size() - keep));
  start_ += rest.size() - keep;
  if (now - last_input_ < paste_wait) {
    return std::nullopt;
  }
  // The terminal never finished the paste: hand over what came.
  paste_.append(std::string_view(pending_).substr(start_));
  start_ = pending_.size();
  in_paste_ = false;
  return PasteEvent{std::exchange(paste_, {})};
}

std::optional<Event> EventDecoder::next(Clock::time_point now) {
  while (true) {
    if (in_paste_) {
      return next_paste(now);
    }
    if (start_ >= pending_.size()) {
      return std::nullopt;
    }
    const bool final = now - last_input_ >= escape_wait;
    Parsed parsed = parse(std::string_view(pending_).substr(start_), final);
    switch (parsed.outcome) {
      case Outcome::incomplete:
        return std::nullopt;
      case Outcome::paste_start:
        start_ += parsed.consumed;
        in_paste_ = true;
        paste_.clear();
        break;
      case Outcome::nothing:
        start_ += parsed.consumed;
        break;
      case Outcome::event:
        start_ += parsed.consumed;
        return std::move(parsed.event);
    }
  }
}

std::optional<EventDecoder::Clock::duration> EventDecoder::time_until_resolved(
    Clock::time_point now) const {
  if (!has_pending_bytes()) {
    return std::nullopt;
  }
  const Clock::time_point deadline =
      last_input_ + (in_paste_ ? Clock::duration(paste_wait) : Clock::duration(escape_wait));
  return std::max(deadline - now, Clock::duration::zero());
}

}  // namespace tui
