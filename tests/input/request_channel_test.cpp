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

TEST(RequestChannel, QueuesOneSortedCompactLine) {
  auto channel = std::make_shared<testing::MemoryRequests>();
  AppState state =
      state_of(topics_document({{"export", true}, {"playback", true}}), View::topics, channel);
  EXPECT_TRUE(send_request(state, RequestAction::export_entity));
  // The status reports the request once the run loop has written it.
  EXPECT_EQ(state.status, "");
  channel->from(state);
  EXPECT_EQ(state.status, "Requested export; awaiting backend status");
  EXPECT_TRUE(send_request(state, RequestAction::save_view,
                           RequestPayload()
                               .number("tab", std::uint64_t{2})
                               .text("filter", "é")
                               .text("selected_id", "")));
  channel->from(state);
  EXPECT_EQ(state.status, "Requested export; awaiting backend status");
  // A payload member replaces the automatic one.
  EXPECT_TRUE(send_request(state, RequestAction::seek,
                           RequestPayload().number("offset_s", 59.999).text("side", "mine")));
  EXPECT_EQ(channel->from(state).text,
            "{\"action\":\"export\",\"entity_id\":\"topic:/scan\",\"side\":\"current\"}\n"
            "{\"action\":\"save_view\",\"filter\":\"é\",\"selected_id\":\"\",\"tab\":2}\n"
            "{\"action\":\"seek\",\"entity_id\":\"topic:/"
            "scan\",\"offset_s\":59.999,\"side\":\"mine\"}\n");
  EXPECT_EQ(state.status, "Requested seek; awaiting backend status");
  EXPECT_TRUE(state.outbox.requests.empty());
}

TEST(RequestChannel, RefusalsQueueNothing) {
  auto channel = std::make_shared<testing::MemoryRequests>();
  AppState state =
      state_of(topics_document({{"export", "yes"}, {"inspect", true}, {"playback", true}}),
               View::topics, channel);
  EXPECT_FALSE(send_request(state, RequestAction::export_entity));
  EXPECT_EQ(state.status, "export unavailable for this session");

  state.view = View::nodes;
  EXPECT_FALSE(send_request(state, RequestAction::inspect));
  EXPECT_EQ(state.status, "Select a topic before inspecting");

  AppState unavailable = state_of(topics_document({{"inspect", true}}), View::topics, channel);
  nlohmann::json value = nlohmann_of(*unavailable.rows[0].value);
  value["observation_unavailable"] = true;
  unavailable.rows[0] = Row::owning("topic:/scan", "[unavailable] /scan", document_of(value)->root);
  EXPECT_FALSE(send_request(unavailable, RequestAction::message_tf));
  EXPECT_EQ(unavailable.status,
            "Selection is absent from latest graph; refresh before requesting a live observation");

  AppState empty =
      state_of(nlohmann::json{{"capabilities", {{"export", true}}}}, View::topics, channel);
  EXPECT_FALSE(send_request(empty, RequestAction::export_entity));
  EXPECT_EQ(empty.status, "Select an entity before exporting");
  EXPECT_TRUE(state.outbox.requests.empty() && unavailable.outbox.requests.empty() &&
              empty.outbox.requests.empty());

  AppState no_channel = state_of(topics_document({{"export", true}}), View::topics);
  EXPECT_TRUE(send_request(no_channel, RequestAction::export_entity));
  testing::deliver_without_channel(no_channel);
  EXPECT_EQ(no_channel.status, "Request failed: No request channel configured");
}

TEST(RequestChannel, SideFollowsTheShownCaptureAndRemovedChanges) {
  auto channel = std::make_shared<testing::MemoryRequests>();
  nlohmann::json document = topics_document({{"export", true}});
  document["comparison"]["changes"] =
      nlohmann::json::array({{{"id", "node:/gone"}, {"status", "removed"}, {"name", "/gone"}}});
  AppState state = state_of(document, View::changes, channel);
  ASSERT_TRUE(send_request(state, RequestAction::export_entity));
  EXPECT_EQ(channel->from(state).text,
            "{\"action\":\"export\",\"entity_id\":\"node:/gone\",\"side\":\"baseline\"}\n");
}

TEST(RequestChannel, AFailedWriteIsTheStatusAndSavesNoViewState) {
  auto channel = std::make_shared<testing::MemoryRequests>();
  channel->failure = "No space left on device (os error 28)";
  AppState state = state_of(topics_document({{"export", true}}), View::topics, channel);
  EXPECT_TRUE(send_request(state, RequestAction::export_entity));
  channel->from(state);
  EXPECT_EQ(state.status, "Request failed: No space left on device (os error 28)");

  // The view state counts as saved once its line is written, and not before.
  const std::optional<ViewState> saved = state.last_saved_view_state;
  Request save = Request::make(RequestAction::save_view, {}, {});
  save.saved_view = ViewState{3, "x", "node:/a"};
  state.outbox.requests.push_back(save);
  channel->from(state);
  EXPECT_EQ(state.last_saved_view_state, saved);
  channel->failure.reset();
  state.outbox.requests.push_back(save);
  channel->from(state);
  EXPECT_EQ(state.last_saved_view_state, save.saved_view);
}

}  // namespace
}  // namespace qm
