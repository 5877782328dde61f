#include "views/capture_detail.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "support/documents.hpp"

namespace qm {
namespace {

using nlohmann::json;

TEST(CaptureDetail, LastExportFromFeedbackOrSavedPath) {
  const json feedback = {{"status", "success"}, {"entity_id", "topic:/scan"}, {"side", "current"},
                         {"at", "13:52"},       {"path", "/x/scan.json"},     {"error", nullptr}};
  const struct {
    json runtime;
    std::string block;
  } cases[] = {
      {{{"export_feedback", feedback}, {"last_export", "/older.json"}},
       "Outcome: success\nSelected: topic:/scan (current)\nTime: 13:52\n"
       "Destination: /x/scan.json\nError: none\n"},
      {{{"export_feedback", {{"error", "disk full"}}}},
       "Outcome: unknown\nSelected: unknown (unknown)\nTime: unknown\n"
       "Destination: none\nError: disk full\n"},
      {{{"export_feedback", "not an object"}, {"last_export", "/older.json"}},
       "Destination: /older.json\nSelection: unavailable in this saved session\n"},
      {{{"last_export", 42}},
       "No export recorded in this session. Select an entity and press e.\n"},
  };
  for (const auto& c : cases) {
    AppState state;
    state.model = build_model(testing::document_of({{"runtime", c.runtime}}));
    const std::string text = capture_page(state).text;
    EXPECT_EQ(text.substr(0, text.find("\nCurrent: ")),
              "CAPTURE PROVENANCE\n\nLAST EXPORT\n" + c.block);
    EXPECT_NE(text.find("\nBaseline: unknown\nunknown\n\nWarnings\n"), std::string::npos);
  }
}

}  // namespace
}  // namespace qm
