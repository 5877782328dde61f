#include "instant.hpp"

#include <chrono>

namespace qm::demo {

Instant instant_now() {
  using Seconds = std::chrono::duration<double>;
  return {std::chrono::duration_cast<Seconds>(std::chrono::system_clock::now().time_since_epoch())
              .count(),
          std::chrono::duration_cast<Seconds>(std::chrono::steady_clock::now().time_since_epoch())
              .count()};
}

}  // namespace qm::demo
