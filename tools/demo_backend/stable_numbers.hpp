#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qm::demo {

// CRC-32 (the zlib polynomial) of the bytes.
std::uint32_t crc32_of(std::string_view bytes);

// A stable offset in [-spread, spread] derived from a name, so the same name always drifts
// the same way and the example document is the same on every run.
double jitter(std::string_view name, double spread);

// The value rounded to `digits` decimals, correctly rounded from its exact binary value with
// ties to even, as a decimal printer would show it.
double round_to(double value, int digits);

// The nearest integer, ties to even.
std::int64_t round_to_integer(double value);

// "2026-12-09T14:03:27Z" for a Unix time in seconds (fractions dropped).
std::string iso_utc(double unix_s);

// "14:03:27" for a Unix time in seconds.
std::string clock_utc(double unix_s);

}  // namespace qm::demo
