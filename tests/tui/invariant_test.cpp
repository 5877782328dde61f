#include "tui/invariant.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <exception>
#include <string>
#include <type_traits>

#include "support/pty_child.hpp"

namespace tui {
namespace {

using qm::testing::exited_with;
using qm::testing::PtyChild;
using qm::testing::PtyChildOptions;

// Stands in for the application's handler: writes the kept message and ends.
[[noreturn]] void write_message_and_end() {
  const char* message = internal_fault_message();
  const char* text = message != nullptr ? message : "(none)";
  ::write(STDERR_FILENO, text, std::strlen(text));
  ::_exit(3);
}

TEST(InternalCheck, PassesQuietlyAndKeepsTheMessageOfAFailureForTheTerminateHandler) {
  QM_CHECK(std::is_same_v<int, int>);
  EXPECT_EQ(internal_fault_message(), nullptr);

  PtyChild failed_check(PtyChildOptions{}, [] {
    std::set_terminate(write_message_and_end);
    QM_CHECK(sizeof(int) == 1);
    return 0;
  });
  const std::string message = failed_check.read_error();
  EXPECT_EQ(failed_check.wait(), exited_with(3));
  EXPECT_EQ(message.rfind("internal check failed: sizeof(int) == 1 (", 0), 0u) << message;
  EXPECT_NE(message.find("invariant_test.cpp:"), std::string::npos) << message;

  // A message longer than the storage is cut, never overrun.
  PtyChild long_message(PtyChildOptions{}, [] {
    std::set_terminate(write_message_and_end);
    const std::string text(internal_fault_message_capacity + 100, 'x');
    internal_fault(text.c_str());
    return 0;
  });
  EXPECT_EQ(long_message.read_error(), std::string(internal_fault_message_capacity - 1, 'x'));
  EXPECT_EQ(long_message.wait(), exited_with(3));
}

}  // namespace
}  // namespace tui
