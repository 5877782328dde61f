#include "text/value_text.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string_view>

#include "json/json_text.hpp"
#include "text/text.hpp"

namespace qm {

namespace {

constexpr std::size_t kOutlineDepthLimit = 16;
constexpr std::string_view kDeeperFields = "… deeper fields available in raw view\n";
// The display-safe copy keeps 200,000 characters of at most 4 bytes each; compact text beyond
// this many bytes can never reach the screen, so writing stops there.
constexpr std::size_t kCompactBudget = 200'000 * 4 + 16;

void append_indent(std::string& out, std::size_t depth) {
  out.append(depth * 2, ' ');
}

bool holds_container(const Json& array) {
  for (const Json& element : array.array()) {
    if (element.is_array() || element.is_object()) {
      return true;
    }
  }
  return false;
}

void append_outline(std::string& out, const Json& value, std::size_t depth) {
  if (depth > kOutlineDepthLimit) {
    out += kDeeperFields;
    return;
  }
  if (value.is_array()) {
    for (const Json& element : value.array()) {
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
    for (const JsonMember& item : value.object()) {
      const std::string_view key = item.key();
      const Json& member = item.value;
      append_indent(out, depth);
      out += words_of(key);
      if (member.is_object() || (member.is_array() && holds_container(member))) {
        out += '\n';
        append_outline(out, member, depth + 1);
      } else if (member.is_array()) {
        out += ": ";
        bool first = true;
        for (const Json& element : member.array()) {
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

constexpr std::array<std::uint64_t, 4> kPowers = {1, 10, 100, 1000};

// |value|·10^decimals rounded to an integer as printf rounds (exactly, ties to even), for the
// few decimals and modest sizes of rates and sizes; none for the rest. A double is m·2^-s with a
// 53-bit m, so with at most 3 decimals m·10^d fits 64 bits and only has to be shifted by s.
std::optional<std::uint64_t> scaled_to_integer(double magnitude, int decimals) {
  if (decimals >= static_cast<int>(kPowers.size()) || !(magnitude < 1e9)) {
    return std::nullopt;
  }
  // The fields of the IEEE double: magnitude = mantissa · 2^-shift.
  const auto bits = std::bit_cast<std::uint64_t>(magnitude);
  const auto biased_exponent = static_cast<int>(bits >> 52);
  const std::uint64_t mantissa = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
  // Below 1e9 the shift is at least 23.
  const int shift = 1075 - biased_exponent;
  if (shift >= 64) {
    return 0;  // below 2^-11 (zero and subnormals too), far under half of the last decimal
  }
  const std::uint64_t product = mantissa * kPowers[static_cast<std::size_t>(decimals)];
  const std::uint64_t quotient = product >> shift;
  const std::uint64_t remainder = product & ((std::uint64_t{1} << shift) - 1);
  const std::uint64_t half = std::uint64_t{1} << (shift - 1);
  const bool up = remainder > half || (remainder == half && (quotient & 1) != 0);
  return quotient + (up ? 1 : 0);
}

// The decimal text of `scaled` / 10^decimals (at most 3), with one digit before the point.
std::string fixed_text(bool negative, std::uint64_t scaled, int decimals) {
  const auto places = static_cast<std::size_t>(decimals);
  std::array<char, 24> digits;
  const char* end = std::to_chars(digits.data(), digits.data() + digits.size(), scaled).ptr;
  const auto count = static_cast<std::size_t>(end - digits.data());
  // Zeros in front of a value below 1, so that a digit stands before the point.
  const std::size_t zeros = count <= places ? places + 1 - count : 0;
  std::array<char, 32> text;
  std::size_t length = 0;
  if (negative) {
    text[length++] = '-';
  }
  for (std::size_t i = 0; i < zeros + count; ++i) {
    if (i == zeros + count - places) {
      text[length++] = '.';
    }
    text[length++] = i < zeros ? '0' : digits[i - zeros];
  }
  return std::string(text.data(), length);
}

std::string non_finite_text(double value) {
  if (std::isnan(value)) {
    return "NaN";
  }
  return value < 0 ? "-inf" : "inf";
}

}  // namespace

std::string value_display_text(const Json& value) {
  if (value.is_null()) {
    return "unknown";
  }
  if (value.is_string()) {
    std::string text = display_safe(value.string());
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
  return display_safe(compact_json(value, kCompactBudget));
}

std::string words_of(std::string_view text) {
  std::string words = display_safe(text);
  std::replace(words.begin(), words.end(), '_', ' ');
  return words;
}

std::string indented_json_text(const Json& value) {
  return display_safe(pretty_json(value, kCompactBudget));
}

std::string outline_text(const Json& value, std::size_t depth) {
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
  // Rate bounds and windows mostly have a few decimals. The fewest decimals that read back as
  // the value give the shortest text: no text with fewer digits lies as close, and for values
  // this size at most one text with that many decimals does. This spares the digit search.
  for (int decimals = 0; decimals < static_cast<int>(kPowers.size()); ++decimals) {
    const auto scaled = scaled_to_integer(std::fabs(value), decimals);
    if (!scaled.has_value()) {
      break;
    }
    const auto power = static_cast<double>(kPowers[static_cast<std::size_t>(decimals)]);
    if (static_cast<double>(*scaled) / power == std::fabs(value)) {
      return fixed_text(std::signbit(value), *scaled, decimals);
    }
  }
  const auto [digits, exponent] = shortest_digits(value);
  return layout_decimal(std::signbit(value), digits, exponent);
}

std::string format_fixed(double value, int decimals) {
  if (!std::isfinite(value)) {
    return non_finite_text(value);
  }
  const int precision = decimals < 0 ? 0 : decimals;
  // Rates are written for every topic on every frame, so they take the integer path.
  if (const auto scaled = scaled_to_integer(std::fabs(value), precision)) {
    return fixed_text(std::signbit(value), *scaled, precision);
  }
  // The largest double has 309 integer digits.
  std::string out(static_cast<std::size_t>(precision) + 320, '\0');
  const auto result = std::to_chars(out.data(), out.data() + out.size(), value,
                                    std::chars_format::fixed, precision);
  out.resize(static_cast<std::size_t>(result.ptr - out.data()));
  return out;
}

std::string format_number(const Json& number) {
  if (number.is_number_unsigned()) {
    return std::to_string(number.unsigned_integer());
  }
  if (number.is_number_integer()) {
    return std::to_string(number.integer());
  }
  if (number.is_number_float()) {
    return format_shortest(number.floating());
  }
  return value_display_text(number);
}

}  // namespace qm
