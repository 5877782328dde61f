#include "ui/text/value_text.hpp"

#include <array>
#include <charconv>
#include <cmath>
#include <string_view>

#include "tui/unicode.hpp"
#include "ui/text/text.hpp"

namespace qm {

namespace {

constexpr std::size_t kOutlineDepthLimit = 16;
constexpr std::string_view kDeeperFields = "… deeper fields available in raw view\n";
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
// The display-safe copy keeps 200,000 characters of at most 4 bytes each; compact text beyond
// this many bytes can never reach the screen, so writing stops there.
constexpr std::size_t kCompactBudget = 200'000 * 4 + 16;

// Writes JSON text the way nlohmann's dump(indent) does (invalid UTF-8 replaced by U+FFFD), but
// stops soon after `budget` bytes so that a huge value costs no more than what can be shown.
class JsonWriter {
 public:
  JsonWriter(std::string& out, std::size_t budget, int indent = -1)
      : out_(out), budget_(budget), indent_(indent) {}

  void write(const nlohmann::json& value) {
    if (full()) {
      return;
    }
    switch (value.type()) {
      case nlohmann::json::value_t::object:
        write_object(value);
        break;
      case nlohmann::json::value_t::array:
        write_array(value);
        break;
      case nlohmann::json::value_t::string:
        write_string(value.get_ref<const nlohmann::json::string_t&>());
        break;
      case nlohmann::json::value_t::boolean:
        out_ += value.get<bool>() ? "true" : "false";
        break;
      case nlohmann::json::value_t::number_unsigned:
        append_integer(value.get<uint64_t>());
        break;
      case nlohmann::json::value_t::number_integer:
        append_integer(value.get<int64_t>());
        break;
      case nlohmann::json::value_t::number_float:
        // nlohmann's own float form ("5.0", "1e+21"), so the text matches dump().
        out_ += nlohmann::json(value.get<double>()).dump();
        break;
      case nlohmann::json::value_t::binary:
      case nlohmann::json::value_t::null:
      case nlohmann::json::value_t::discarded:
        out_ += "null";
        break;
    }
  }

 private:
  bool full() const { return out_.size() >= budget_; }

  template <typename Integer>
  void append_integer(Integer number) {
    std::array<char, 24> digits{};
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), number);
    out_.append(digits.data(), result.ptr);
  }

  bool pretty() const { return indent_ >= 0; }

  // Before a member: a comma after the previous one and, when pretty, a new indented line.
  void begin_member(bool first) {
    if (!first) {
      out_ += ',';
    }
    if (pretty()) {
      out_ += '\n';
      out_.append((depth_ + 1) * static_cast<std::size_t>(indent_), ' ');
    }
  }

  void end_container(char close, bool empty) {
    if (pretty() && !empty) {
      out_ += '\n';
      out_.append(depth_ * static_cast<std::size_t>(indent_), ' ');
    }
    out_ += close;
  }

  void write_object(const nlohmann::json& value) {
    out_ += '{';
    bool first = true;
    for (const auto& [key, member] : value.items()) {
      if (full()) {
        return;
      }
      begin_member(first);
      first = false;
      write_string(key);
      out_ += pretty() ? ": " : ":";
      ++depth_;
      write(member);
      --depth_;
    }
    end_container('}', first);
  }

  void write_array(const nlohmann::json& value) {
    out_ += '[';
    bool first = true;
    for (const nlohmann::json& element : value) {
      if (full()) {
        return;
      }
      begin_member(first);
      first = false;
      ++depth_;
      write(element);
      --depth_;
    }
    end_container(']', first);
  }

  void write_string(std::string_view text) {
    out_ += '"';
    std::size_t offset = 0;
    while (offset < text.size() && !full()) {
      const auto byte = static_cast<unsigned char>(text[offset]);
      if (byte >= 0x80) {
        const tui::DecodedChar c = tui::decode_utf8(text, offset);
        if (c.value == 0xFFFD && c.length == 1) {
          out_ += kReplacement;
        } else {
          out_.append(text.substr(offset, c.length));
        }
        offset += c.length;
        continue;
      }
      append_escaped(byte);
      ++offset;
    }
    out_ += '"';
  }

  void append_escaped(unsigned char byte) {
    switch (byte) {
      case '"':
        out_ += "\\\"";
        return;
      case '\\':
        out_ += "\\\\";
        return;
      case '\b':
        out_ += "\\b";
        return;
      case '\f':
        out_ += "\\f";
        return;
      case '\n':
        out_ += "\\n";
        return;
      case '\r':
        out_ += "\\r";
        return;
      case '\t':
        out_ += "\\t";
        return;
      default:
        break;
    }
    if (byte < 0x20) {
      constexpr std::string_view hex = "0123456789abcdef";
      out_ += "\\u00";
      out_ += hex[byte >> 4];
      out_ += hex[byte & 0x0F];
      return;
    }
    out_ += static_cast<char>(byte);
  }

  std::string& out_;
  std::size_t budget_;
  int indent_;
  std::size_t depth_ = 0;
};

void append_indent(std::string& out, std::size_t depth) {
  out.append(depth * 2, ' ');
}

// A key as a label: display-safe, every "_" shown as a space.
void append_label(std::string& out, std::string_view key) {
  std::string label = display_safe(key);
  for (char& c : label) {
    if (c == '_') {
      c = ' ';
    }
  }
  out += label;
}

bool holds_container(const nlohmann::json& array) {
  for (const nlohmann::json& element : array) {
    if (element.is_array() || element.is_object()) {
      return true;
    }
  }
  return false;
}

void append_outline(std::string& out, const nlohmann::json& value, std::size_t depth) {
  if (depth > kOutlineDepthLimit) {
    out += kDeeperFields;
    return;
  }
  if (value.is_array()) {
    for (const nlohmann::json& element : value) {
      append_indent(out, depth);
      if (element.is_object()) {
        out += "•\n";
        append_outline(out, element, depth + 1);
      } else {
        out += "• ";
        out += value_display_text(element);
        out += '\n';
      }
    }
    return;
  }
  if (value.is_object()) {
    for (const auto& [key, member] : value.items()) {
      append_indent(out, depth);
      append_label(out, key);
      if (member.is_object() || (member.is_array() && holds_container(member))) {
        out += '\n';
        append_outline(out, member, depth + 1);
      } else if (member.is_array()) {
        out += ": ";
        bool first = true;
        for (const nlohmann::json& element : member) {
          if (!first) {
            out += ", ";
          }
          first = false;
          out += value_display_text(element);
        }
        out += '\n';
      } else {
        out += ": ";
        out += value_display_text(member);
        out += '\n';
      }
    }
    return;
  }
  append_indent(out, depth);
  out += value_display_text(value);
  out += '\n';
}

// Lays out the shortest round-trip digits (value = 0.d₁d₂… · 10^(exponent + 1)) the way
// JavaScript prints numbers: plain decimal for 1e-6 ≤ |x| < 1e21, else exponent form ("1e+21",
// "1.5e-7"), so that huge and tiny values stay short.
std::string layout_decimal(bool negative, std::string_view digits, int exponent) {
  std::string out;
  if (negative) {
    out += '-';
  }
  const auto count = static_cast<int>(digits.size());
  if (exponent >= 21 || exponent < -6) {
    out += digits[0];
    if (count > 1) {
      out += '.';
      out += digits.substr(1);
    }
    out += 'e';
    out += exponent < 0 ? '-' : '+';
    out += std::to_string(exponent < 0 ? -exponent : exponent);
    return out;
  }
  if (exponent < 0) {
    out += "0.";
    out.append(static_cast<std::size_t>(-exponent - 1), '0');
    out += digits;
    return out;
  }
  if (exponent + 1 >= count) {
    out += digits;
    out.append(static_cast<std::size_t>(exponent + 1 - count), '0');
    return out;
  }
  out += digits.substr(0, static_cast<std::size_t>(exponent + 1));
  out += '.';
  out += digits.substr(static_cast<std::size_t>(exponent + 1));
  return out;
}

std::string non_finite_text(double value) {
  if (std::isnan(value)) {
    return "NaN";
  }
  return value < 0 ? "-inf" : "inf";
}

}  // namespace

std::string value_display_text(const nlohmann::json& value) {
  if (value.is_null() || value.is_discarded()) {
    return "unknown";
  }
  if (value.is_string()) {
    std::string text = display_safe(value.get_ref<const nlohmann::json::string_t&>());
    if (text.find_first_of("\n\t") == std::string::npos) {
      return text;
    }
    std::string out;
    out.reserve(text.size() + 16);
    for (const char c : text) {
      if (c == '\n') {
        out += "↵";
      } else if (c == '\t') {
        out += ' ';
      } else {
        out += c;
      }
    }
    return out;
  }
  std::string compact;
  JsonWriter(compact, kCompactBudget).write(value);
  return display_safe(compact);
}

std::string indented_json_text(const nlohmann::json& value) {
  std::string text;
  JsonWriter(text, kCompactBudget, 2).write(value);
  return display_safe(text);
}

std::string outline_text(const nlohmann::json& value, std::size_t depth) {
  std::string out;
  append_outline(out, value, depth);
  return out;
}

std::string format_shortest(double value) {
  if (!std::isfinite(value)) {
    return non_finite_text(value);
  }
  if (value == 0) {
    return std::signbit(value) ? "-0" : "0";
  }
  // Scientific form gives the shortest round-trip digits and the decimal exponent.
  std::array<char, 32> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), std::fabs(value),
                                    std::chars_format::scientific);
  const std::string_view scientific(buffer.data(),
                                    static_cast<std::size_t>(result.ptr - buffer.data()));
  const std::size_t e = scientific.find('e');
  std::string digits;
  digits += scientific[0];
  if (e > 2) {
    digits += scientific.substr(2, e - 2);
  }
  int exponent = 0;
  const std::string_view exponent_text = scientific.substr(e + 1);
  const char* first = exponent_text.data();
  if (*first == '+') {
    ++first;
  }
  std::from_chars(first, exponent_text.data() + exponent_text.size(), exponent);
  return layout_decimal(std::signbit(value), digits, exponent);
}

std::string format_fixed(double value, int decimals) {
  if (!std::isfinite(value)) {
    return non_finite_text(value);
  }
  const int precision = decimals < 0 ? 0 : decimals;
  // The largest double has 309 integer digits.
  std::string out(static_cast<std::size_t>(precision) + 320, '\0');
  const auto result = std::to_chars(out.data(), out.data() + out.size(), value,
                                    std::chars_format::fixed, precision);
  out.resize(static_cast<std::size_t>(result.ptr - out.data()));
  return out;
}

std::string format_number(const nlohmann::json& number) {
  if (number.is_number_unsigned()) {
    return std::to_string(number.get<uint64_t>());
  }
  if (number.is_number_integer()) {
    return std::to_string(number.get<int64_t>());
  }
  if (number.is_number_float()) {
    return format_shortest(number.get<double>());
  }
  return value_display_text(number);
}

}  // namespace qm
