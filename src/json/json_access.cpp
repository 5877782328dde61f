#include "json/json_access.hpp"

#include <limits>

namespace qm {

const Json& null_json() {
  static constexpr Json null_value;
  return null_value;
}

const Json& member(const Json& value, std::string_view key) {
  const Json* found = value.find(key);
  return found != nullptr ? *found : null_json();
}

const Json& member_path(const Json& value, std::initializer_list<std::string_view> keys) {
  const Json* current = &value;
  for (std::string_view key : keys) {
    current = &member(*current, key);
  }
  return *current;
}

std::optional<std::string_view> string_of(const Json& value) {
  if (!value.is_string()) {
    return std::nullopt;
  }
  return value.string();
}

std::optional<std::span<const Json>> array_of(const Json& value) {
  if (!value.is_array()) {
    return std::nullopt;
  }
  return value.array();
}

std::optional<std::span<const JsonMember>> object_of(const Json& value) {
  if (!value.is_object()) {
    return std::nullopt;
  }
  return value.object();
}

std::optional<uint64_t> unsigned_of(const Json& value) {
  if (value.is_number_unsigned()) {
    return value.unsigned_integer();
  }
  if (value.type() == Json::Type::integer && value.integer() >= 0) {
    return static_cast<uint64_t>(value.integer());
  }
  return std::nullopt;
}

std::optional<int64_t> integer_of(const Json& value) {
  if (value.is_number_unsigned()) {
    if (value.unsigned_integer() <= static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) {
      return static_cast<int64_t>(value.unsigned_integer());
    }
    return std::nullopt;
  }
  if (value.type() == Json::Type::integer) {
    return value.integer();
  }
  return std::nullopt;
}

std::optional<double> number_of(const Json& value) {
  if (value.is_number()) {
    return value.number();
  }
  return std::nullopt;
}

bool is_true(const Json& value) {
  return value.is_boolean() && value.boolean();
}

bool is_string_equal(const Json& value, std::string_view text) {
  return value.is_string() && value.string() == text;
}

}  // namespace qm
