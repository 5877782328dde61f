#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "json/json_access.hpp"

namespace qm {

// What is wrong, in severity order: the problems this program derives from the launch the session
// owns (made in `arena`), then the backend's graph findings.
std::vector<Json> problem_list(const Json& document, JsonArena& arena);

// 0 error, 1 warning, 2 unknown, 3 info, 4 anything else.
int severity_rank(const Json& item);

struct SeverityCounts {
  std::size_t errors = 0;
  std::size_t warnings = 0;
  std::size_t unknown = 0;
};
SeverityCounts severity_counts(const std::vector<Json>& problems);

// 64-bit FNV-1a of the bytes, as 16 lower-case hexadecimal digits.
std::string fnv1a_hex(std::string_view bytes);

}  // namespace qm
