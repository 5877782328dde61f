#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string_view>

#include "json/json.hpp"

namespace qm {

// Reads of the session document never fail: an absent key, or a key looked up in something that
// is not an object, yields null, and callers treat null and a value of the wrong type as absent.
const Json& null_json();
const Json& member(const Json& value, std::string_view key);
const Json& member_path(const Json& value, std::initializer_list<std::string_view> keys);

// Typed views of a value; empty when the value has another type.
std::optional<std::string_view> string_of(const Json& value);
std::optional<std::span<const Json>> array_of(const Json& value);
std::optional<std::span<const JsonMember>> object_of(const Json& value);
// A non-negative integer (never a floating value).
std::optional<uint64_t> unsigned_of(const Json& value);
// An integer that fits a signed 64-bit value (never a floating value).
std::optional<int64_t> integer_of(const Json& value);
// Any number, integer or floating.
std::optional<double> number_of(const Json& value);
// True only for the JSON value `true`.
bool is_true(const Json& value);
// True when the value is the string `text`.
bool is_string_equal(const Json& value, std::string_view text);

}  // namespace qm
