#include "tui/invariant.hpp"

#include <array>
#include <atomic>
#include <exception>

namespace tui {
namespace {

// Static storage: a fault may come from a failed allocation, so keeping the message must not
// need one.
std::array<char, internal_fault_message_capacity> fault_message{};
std::atomic<bool> fault_raised{false};

}  // namespace

void internal_fault(const char* message) noexcept {
  // The first fault is the one reported; a second one raised while ending keeps it.
  if (!fault_raised.load()) {
    std::size_t length = 0;
    if (message != nullptr) {
      while (length + 1 < fault_message.size() && message[length] != '\0') {
        fault_message[length] = message[length];
        ++length;
      }
    }
    fault_message[length] = '\0';
    fault_raised.store(true);
  }
  std::terminate();
}

const char* internal_fault_message() noexcept {
  return fault_raised.load() ? fault_message.data() : nullptr;
}

}  // namespace tui
