#include <gtest/gtest.h>

#include "app/session_file.hpp"
#include "support/error_printing.hpp"
#include "support/json_test_suite.hpp"

namespace qm {
namespace {

// Every valid file is a JSON value but not a session; every invalid one is a syntax error with
// its place; the ones left open may go either way.
TEST(JsonTestSuite, EveryFileLoadsToTheExpectedKindOfError) {
  const auto folder = testing::json_test_suite_folder();
  if (!folder) {
    GTEST_SKIP() << "no copy of the JSON test suite beside the checkout";
  }
  const auto files = testing::json_test_suite_files(*folder);
  ASSERT_GT(files.size(), 300u);
  const Error schema = Error::message(std::string(session_schema_message));
  for (const auto& file : files) {
    const std::string name = file.filename().string();
    const auto loaded = load_session(file.string());
    ASSERT_FALSE(loaded.has_value()) << name;
    const Error& error = loaded.error();
    if (name.starts_with("y_")) {
      EXPECT_EQ(error, schema) << name << ": " << error_report(error);
    } else if (name.starts_with("n_")) {
      EXPECT_EQ(error.kind, ErrorKind::json_syntax) << name << ": " << error_report(error);
      EXPECT_GE(error.line, 1u) << name;
    } else {
      EXPECT_TRUE(error == schema || error.kind == ErrorKind::json_syntax)
          << name << ": " << error_report(error);
    }
  }
}

}  // namespace
}  // namespace qm
