#include "input/request_channel.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <nlohmann/json.hpp>

#include "support/documents.hpp"
#include "support/state_builder.hpp"
#include "support/temp_dir.hpp"

namespace qm {
namespace {

using testing::document_of;
using testing::nlohmann_of;
using testing::read_file;
using testing::state_of;
using testing::TempDir;

nlohmann::json topics_document(nlohmann::json capabilities) {
  return nlohmann::json{
      {"capabilities", std::move(capabilities)},
      {"entities",
       nlohmann::json::array({{{"id", "topic:/scan"}, {"kind", "topic"}, {"name", "/scan"}}})}};
}

TEST(RequestChannel, WritesOneSortedCompactLine) {
  TempDir dir;
  const std::string channel = dir.file("requests.jsonl");
  AppState state =
      state_of(topics_document({{"export", true}, {"playback", true}}), View::topics, channel);
  EXPECT_TRUE(send_request(state, "export"));
  EXPECT_EQ(state.status, "Requested export; awaiting backend status");
  EXPECT_TRUE(send_request(state, "save_view",
                           nlohmann::json{{"tab", 2}, {"filter", "é"}, {"selected_id", ""}}));
  EXPECT_EQ(state.status, "Requested export; awaiting backend status");
  // A payload member replaces the automatic one.
  EXPECT_TRUE(send_request(state, "seek", nlohmann::json{{"offset_s", 59.999}, {"side", "mine"}}));
  EXPECT_EQ(state.status, "Requested seek; awaiting backend status");
  EXPECT_EQ(read_file(channel),
            "{\"action\":\"export\",\"entity_id\":\"topic:/scan\",\"side\":\"current\"}\n"
            "{\"action\":\"save_view\",\"filter\":\"é\",\"selected_id\":\"\",\"tab\":2}\n"
            "{\"action\":\"seek\",\"entity_id\":\"topic:/"
            "scan\",\"offset_s\":59.999,\"side\":\"mine\"}\n");
}

TEST(RequestChannel, RefusalsWriteNothing) {
  TempDir dir;
  const std::string channel = dir.file("requests.jsonl");
  AppState state =
      state_of(topics_document({{"export", "yes"}, {"inspect", true}, {"playback", true}}),
               View::topics, channel);
  EXPECT_FALSE(send_request(state, "export"));
  EXPECT_EQ(state.status, "export unavailable for this session");
  EXPECT_FALSE(send_request(state, "teleport"));
  EXPECT_EQ(state.status, "Unknown request action");

  state.view = View::nodes;
  EXPECT_FALSE(send_request(state, "inspect"));
  EXPECT_EQ(state.status, "Select a topic before inspecting");

  AppState unavailable = state_of(topics_document({{"inspect", true}}), View::topics, channel);
  nlohmann::json value = nlohmann_of(*unavailable.rows[0].value);
  value["observation_unavailable"] = true;
  unavailable.rows[0] = Row::owning("topic:/scan", "[unavailable] /scan", document_of(value)->root);
  EXPECT_FALSE(send_request(unavailable, "message_tf"));
  EXPECT_EQ(unavailable.status,
            "Selection is absent from latest graph; refresh before requesting a live observation");

  AppState empty =
      state_of(nlohmann::json{{"capabilities", {{"export", true}}}}, View::topics, channel);
  EXPECT_FALSE(send_request(empty, "export"));
  EXPECT_EQ(empty.status, "Select an entity before exporting");

  AppState no_channel = state_of(topics_document({{"export", true}}), View::topics);
  EXPECT_FALSE(send_request(no_channel, "export"));
  EXPECT_EQ(no_channel.status, "Request failed: No request channel configured");
  EXPECT_FALSE(std::filesystem::exists(channel));
}

TEST(RequestChannel, SideFollowsTheShownCaptureAndRemovedChanges) {
  TempDir dir;
  const std::string channel = dir.file("requests.jsonl");
  nlohmann::json document = topics_document({{"export", true}});
  document["comparison"]["changes"] =
      nlohmann::json::array({{{"id", "node:/gone"}, {"status", "removed"}, {"name", "/gone"}}});
  AppState state = state_of(document, View::changes, channel);
  ASSERT_TRUE(send_request(state, "export"));
  EXPECT_EQ(read_file(channel),
            "{\"action\":\"export\",\"entity_id\":\"node:/gone\",\"side\":\"baseline\"}\n");
}

TEST(RequestChannel, NeverGrowsPastOneMebibyte) {
  TempDir dir;
  const std::string channel = dir.file("requests.jsonl");
  testing::write_file(channel, std::string(1'048'000, 'x'));
  AppState state = state_of(topics_document({}), View::topics, channel);
  // {"action":"save_view","filter":"…","selected_id":"","tab":0}\n is 55 bytes plus the filter.
  const std::string fixed = R"({"action":"save_view","filter":"","selected_id":"","tab":0})";
  const std::size_t overhead = fixed.size() + 1;
  auto payload = [](std::size_t filter_length) {
    return nlohmann::json{
        {"tab", 0}, {"filter", std::string(filter_length, 'f')}, {"selected_id", ""}};
  };
  EXPECT_FALSE(send_request(state, "save_view", payload(577 - overhead)));
  EXPECT_EQ(state.status,
            "Request failed: Request channel reached 1 MiB; reopen this session to reset it");
  EXPECT_TRUE(send_request(state, "save_view", payload(576 - overhead)));
  EXPECT_EQ(std::filesystem::file_size(channel), 1'048'576u);
}

TEST(RequestChannel, ReportsOperatingSystemErrors) {
  TempDir dir;
  AppState state = state_of(topics_document({{"export", true}}), View::topics,
                            dir.file("missing/requests.jsonl"));
  EXPECT_FALSE(send_request(state, "export"));
  EXPECT_EQ(state.status, "Request failed: No such file or directory (os error 2)");
}

}  // namespace
}  // namespace qm
