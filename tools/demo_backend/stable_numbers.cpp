#include "stable_numbers.hpp"

#include <array>
#include <charconv>
#include <cmath>
#include <ctime>

namespace qm::demo {

namespace {

constexpr std::array<std::uint32_t, 256> crc_table() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t c = n;
    for (int k = 0; k < 8; ++k) {
      c = (c & 1U) != 0 ? 0xEDB88320U ^ (c >> 1U) : c >> 1U;
    }
    table[n] = c;
  }
  return table;
}

std::tm utc_fields(double unix_s) {
  const auto seconds = static_cast<std::time_t>(std::floor(unix_s));
  std::tm fields{};
  gmtime_r(&seconds, &fields);
  return fields;
}

}  // namespace

std::uint32_t crc32_of(std::string_view bytes) {
  static constexpr auto table = crc_table();
  std::uint32_t crc = 0xFFFFFFFFU;
  for (const char byte : bytes) {
    crc = table[(crc ^ static_cast<unsigned char>(byte)) & 0xFFU] ^ (crc >> 8U);
  }
  return crc ^ 0xFFFFFFFFU;
}

double jitter(std::string_view name, double spread) {
  return (static_cast<double>(crc32_of(name)) / 4294967295.0 * 2.0 - 1.0) * spread;
}

double round_to(double value, int digits) {
  // Printing with a fixed precision rounds the exact binary value; reading the text back gives
  // the double nearest to that decimal.
  std::array<char, 64> text{};
  const auto printed = std::to_chars(text.data(), text.data() + text.size(), value,
                                     std::chars_format::fixed, digits);
  if (printed.ec != std::errc()) {
    return value;
  }
  double rounded = value;
  std::from_chars(text.data(), printed.ptr, rounded);
  return rounded;
}

std::int64_t round_to_integer(double value) {
  return static_cast<std::int64_t>(std::nearbyint(value));
}

std::string iso_utc(double unix_s) {
  const std::tm fields = utc_fields(unix_s);
  std::array<char, 32> text{};
  const std::size_t length = std::strftime(text.data(), text.size(), "%Y-%m-%dT%H:%M:%SZ", &fields);
  return std::string(text.data(), length);
}

std::string clock_utc(double unix_s) {
  const std::tm fields = utc_fields(unix_s);
  std::array<char, 16> text{};
  const std::size_t length = std::strftime(text.data(), text.size(), "%H:%M:%S", &fields);
  return std::string(text.data(), length);
}

}  // namespace qm::demo
