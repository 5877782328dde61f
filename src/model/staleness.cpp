#include "model/staleness.hpp"

#include <fmt/format.h>

#include "json/json_access.hpp"
#include "model/limits.hpp"

namespace qm {

std::optional<std::string> stale_age_text(const AppState& state) {
  const auto age = std::chrono::duration_cast<std::chrono::seconds>(state.now - state.loaded_at);
  if (age < limits::stale_after || !is_string_equal(member(state.document(), "mode"), "live")) {
    return std::nullopt;
  }
  const auto seconds = age.count();
  if (seconds < 60) {
    return fmt::format("{} s ago", seconds);
  }
  if (seconds < 3600) {
    return fmt::format("{} min ago", seconds / 60);
  }
  return fmt::format("{} h ago", seconds / 3600);
}

}  // namespace qm
