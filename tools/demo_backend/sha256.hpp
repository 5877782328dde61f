#pragma once

#include <string>
#include <string_view>

namespace qm::demo {

// The SHA-256 digest of the bytes as 64 lower-case hexadecimal digits.
std::string sha256_hex(std::string_view bytes);

}  // namespace qm::demo
