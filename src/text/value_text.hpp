#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "json/json.hpp"

namespace qm {

// The one-line display text of a JSON value: "unknown" for null, a display-safe string with line
// feeds shown as "↵" and tabs as spaces, else the compact JSON text made display-safe.
std::string value_display_text(const Json& value);
// The JSON text of a value with two spaces of indentation per level, made display-safe (so at
// most 200,000 characters; writing stops soon after what can be shown).
std::string indented_json_text(const Json& value);
// A display-safe copy with every "_" shown as a space (how keys and status words are shown).
std::string words_of(std::string_view text);
// A JSON value written as indented lines (two spaces per level), each ending in a line feed.
std::string outline_text(const Json& value, std::size_t depth = 0);

// The shortest decimal that reads back as `value`, without a trailing ".0" (5.0 gives "5"):
// plain decimal for 1e-6 <= |value| < 1e21, else exponent form ("1e+21", "1.5e-7").
std::string format_shortest(double value);
// `value` with exactly `decimals` digits after the point.
std::string format_fixed(double value, int decimals);
// A JSON number in plain decimal (integers) or shortest form (floating values).
std::string format_number(const Json& number);

}  // namespace qm
