#include "json/json_text.hpp"

#include <array>
#include <charconv>
#include <cmath>
#include <string_view>

#include "base/unicode.hpp"

namespace qm {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// Writes JSON text, compact or indented (invalid UTF-8 replaced by U+FFFD), stopping soon after
// `budget` bytes so that a huge value costs no more than what is asked for.
class JsonWriter {
 public:
  JsonWriter(std::string& out, std::size_t budget, int indent = -1)
      : out_(out), budget_(budget), indent_(indent) {}

  void write(const Json& value) {
    if (full()) {
      return;
    }
    switch (value.type()) {
      case Json::Type::object:
        write_object(value);
        break;
      case Json::Type::array:
        write_array(value);
        break;
      case Json::Type::string:
        write_string(value.string());
        break;
      case Json::Type::boolean:
        out_ += value.boolean() ? "true" : "false";
        break;
      case Json::Type::unsigned_integer:
        append_integer(value.unsigned_integer());
        break;
      case Json::Type::integer:
        append_integer(value.integer());
        break;
      case Json::Type::floating:
        out_ += json_double_text(value.floating());
        break;
      case Json::Type::null:
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

  void write_object(const Json& value) {
    out_ += '{';
    bool first = true;
    for (const JsonMember& item : value.object()) {
      const std::string_view key = item.key();
      const Json& member = item.value;
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

  void write_array(const Json& value) {
    out_ += '[';
    bool first = true;
    for (const Json& element : value.array()) {
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
        const base::DecodedChar c = base::decode_utf8(text, offset);
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

}  // namespace

std::string compact_json(const Json& value, std::size_t budget) {
  std::string text;
  JsonWriter(text, budget).write(value);
  return text;
}

std::string pretty_json(const Json& value, std::size_t budget) {
  std::string text;
  JsonWriter(text, budget, 2).write(value);
  return text;
}

ShortestDigits shortest_digits(double value) {
  // Scientific form gives the shortest round-trip digits d.ddd and the exponent.
  std::array<char, 40> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), std::fabs(value),
                                    std::chars_format::scientific);
  const std::string_view scientific(buffer.data(),
                                    static_cast<std::size_t>(result.ptr - buffer.data()));
  const std::size_t e = scientific.find('e');
  ShortestDigits shortest{std::string(1, scientific[0]), 0};
  if (e > 2) {
    shortest.digits += scientific.substr(2, e - 2);
  }
  std::string_view exponent_text = scientific.substr(e + 1);
  if (exponent_text.starts_with('+')) {
    exponent_text.remove_prefix(1);
  }
  std::from_chars(exponent_text.data(), exponent_text.data() + exponent_text.size(),
                  shortest.exponent);
  return shortest;
}

std::string json_double_text(double value) {
  if (!std::isfinite(value)) {
    return "null";
  }
  const auto [digits, exponent] = shortest_digits(value);

  // Plain decimal while the point falls within 15 digits of the first one, else exponent form
  // with at least two exponent digits, as printf's %g writes them.
  std::string out = std::signbit(value) ? "-" : "";
  const auto count = static_cast<int>(digits.size());
  const int point = value == 0 ? 1 : exponent + 1;
  if (count <= point && point <= 15) {
    out += digits;
    out.append(static_cast<std::size_t>(point - count), '0');
    out += ".0";
  } else if (0 < point && point <= 15) {
    out += std::string_view(digits).substr(0, static_cast<std::size_t>(point));
    out += '.';
    out += std::string_view(digits).substr(static_cast<std::size_t>(point));
  } else if (-4 < point && point <= 0) {
    out += "0.";
    out.append(static_cast<std::size_t>(-point), '0');
    out += digits;
  } else {
    out += digits[0];
    if (count > 1) {
      out += '.';
      out += std::string_view(digits).substr(1);
    }
    out += exponent < 0 ? "e-" : "e+";
    const int magnitude = exponent < 0 ? -exponent : exponent;
    if (magnitude < 10) {
      out += '0';
    }
    out += std::to_string(magnitude);
  }
  return out;
}

}  // namespace qm
