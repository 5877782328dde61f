#pragma once

#include <cstddef>

namespace tui {

// Writes all `size` bytes to `fd`, retrying after interruptions and short writes. Returns 0 or
// the errno of the failing write. Async-signal-safe.
int write_all(int fd, const char* data, std::size_t size) noexcept;

}  // namespace tui
