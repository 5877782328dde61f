#include <gtest/gtest.h>

#include "support/json_test_suite.hpp"
#include "support/run_process.hpp"

namespace qm {
namespace {

// The built program on every file of the public suite: never a crash, one error line each.
TEST(JsonTestSuite, CheckSessionEndsInAnOrderlyWayOnEveryFile) {
  const auto folder = testing::json_test_suite_folder();
  if (!folder) {
    GTEST_SKIP() << "no copy of the JSON test suite beside the checkout";
  }
  const std::string syntax_error = "Error: Custom { kind: Other, error: Error(\"";
  const std::string schema_error =
      "Error: Custom { kind: Other, error: \"Unsupported session schema\" }\n";
  for (const auto& file : testing::json_test_suite_files(*folder)) {
    const std::string name = file.filename().string();
    const testing::ProcessResult result =
        testing::run_process(QM_BINARY, {"--check-session", file.string()});
    ASSERT_EQ(result.signal, 0) << name;
    EXPECT_EQ(result.status, 1) << name;
    EXPECT_EQ(result.out, "") << name;
    ASSERT_TRUE(result.err.ends_with("\n")) << name;
    EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << name << ": " << result.err;
    if (name.starts_with("y_")) {
      EXPECT_EQ(result.err, schema_error) << name;
    } else if (name.starts_with("n_")) {
      EXPECT_TRUE(result.err.starts_with(syntax_error)) << name << ": " << result.err;
    } else {
      EXPECT_TRUE(result.err == schema_error || result.err.starts_with(syntax_error))
          << name << ": " << result.err;
    }
  }
}

}  // namespace
}  // namespace qm
