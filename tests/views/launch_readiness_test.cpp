#include "views/launch_readiness.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "json/json_access.hpp"
#include "support/documents.hpp"

namespace qm {
namespace {

TEST(LaunchReadiness, UnknownReadinessSaysWhy) {
  struct Case {
    nlohmann::json launch;
    std::string_view text;
  };
  const Case cases[] = {
      {nullptr, "unknown · no owned launch"},
      {"running", "unknown · no owned launch"},
      {nlohmann::json::object(), "unknown (no declared checks)"},
      {{{"readiness", nullptr}, {"readiness_checks", {{"status", 3}}}},
       "unknown (no declared checks)"},
      {{{"readiness", "unknown"}, {"readiness_checks", {{"status", "passed"}}}},
       "unknown (declared checks passed; not a readiness claim)"},
      {{{"readiness_checks", {{"status", "failed"}}}}, "unknown"},
      // A known readiness is shown as it is, whatever the checks say.
      {{{"readiness", "ready"}, {"readiness_checks", {{"status", "failed"}}}}, "ready"},
      {{{"readiness", "not_ready\n"}}, "not_ready↵"},
  };
  for (const Case& c : cases) {
    const DocumentPtr document = testing::document_of({{"launch", c.launch}});
    EXPECT_EQ(readiness_text(member(document->root, "launch")), c.text) << c.launch.dump();
  }
}

}  // namespace
}  // namespace qm
