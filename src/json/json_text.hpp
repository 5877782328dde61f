#pragma once

#include <cstddef>
#include <limits>
#include <string>

#include "json/json.hpp"

namespace qm {

inline constexpr std::size_t unlimited_json_text = std::numeric_limits<std::size_t>::max();

// The compact JSON text of `value` (no white space between tokens; invalid UTF-8 written as
// U+FFFD; floating values as `json_double_text`). Writing stops soon after `budget` bytes, so the
// text of a huge value costs no more than the part that is wanted.
std::string compact_json(const Json& value, std::size_t budget = unlimited_json_text);
// The same with two spaces of indentation per level and ": " after keys.
std::string pretty_json(const Json& value, std::size_t budget = unlimited_json_text);

// The shortest digits that read back as |value| (finite), and the exponent of the first one:
// |value| = d₁.d₂d₃… · 10^exponent. Zero gives "0" and 0.
struct ShortestDigits {
  std::string digits;
  int exponent = 0;
};
ShortestDigits shortest_digits(double value);

// A floating JSON number in shortest round-trip digits, always with a point or an exponent:
// "5.0", "0.1", "1e+21", "1.5e-07", "-0.0"; "null" for a value that is not finite.
std::string json_double_text(double value);

}  // namespace qm
