#include "app/core/json_access.hpp"

#include <limits>

namespace qm {

const Json& null_json() {
  static const Json null_value;
  return null_value;
}

const Json& member(const Json& value, std::string_view key) {
  if (!value.is_object()) {
    return null_json();
  }
  const auto& object = value.get_ref<const Json::object_t&>();
  const auto found = object.find(key);
  return found == object.end() ? null_json() : found->second;
}

const Json& member_path(const Json& value, std::initializer_list<std::string_view> keys) {
  const Json* current = &value;
  for (std::string_view key : keys) {
    current = &member(*current, key);
  }
  return *current;
}

const std::string* string_of(const Json& value) {
  return value.is_string() ? value.get_ptr<const std::string*>() : nullptr;
}

const Json::array_t* array_of(const Json& value) {
  return value.is_array() ? value.get_ptr<const Json::array_t*>() : nullptr;
}

const Json::object_t* object_of(const Json& value) {
  return value.is_object() ? value.get_ptr<const Json::object_t*>() : nullptr;
}

std::optional<uint64_t> unsigned_of(const Json& value) {
  if (value.is_number_unsigned()) {
    return value.get<uint64_t>();
  }
  if (value.is_number_integer()) {
    const auto signed_value = value.get<int64_t>();
    if (signed_value >= 0) {
      return static_cast<uint64_t>(signed_value);
    }
  }
  return std::nullopt;
}

std::optional<int64_t> integer_of(const Json& value) {
  if (value.is_number_unsigned()) {
    const auto unsigned_value = value.get<uint64_t>();
    if (unsigned_value <= static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) {
      return static_cast<int64_t>(unsigned_value);
    }
    return std::nullopt;
  }
  if (value.is_number_integer()) {
    return value.get<int64_t>();
  }
  return std::nullopt;
}

std::optional<double> number_of(const Json& value) {
  if (value.is_number()) {
    return value.get<double>();
  }
  return std::nullopt;
}

bool is_true(const Json& value) {
  return value.is_boolean() && value.get<bool>();
}

bool is_string_equal(const Json& value, std::string_view text) {
  const std::string* s = string_of(value);
  return s != nullptr && *s == text;
}

}  // namespace qm
