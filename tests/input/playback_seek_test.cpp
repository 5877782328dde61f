#include "input/playback_seek.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <nlohmann/json.hpp>

#include "input/dispatch_document.hpp"
#include "input/key_dispatch.hpp"
#include "model/reload.hpp"
#include "support/documents.hpp"
#include "support/key_events.hpp"
#include "support/state_builder.hpp"

namespace qm {
namespace {

using nlohmann::json;
using testing::key;
using testing::lines_of;
using tui::KeyCode;

json playback_document(std::optional<double> position) {
  json document = testing::dispatch_document();
  document["runtime"]["playback"]["recording"]["duration_s"] = 60.0;
  if (position) {
    document["runtime"]["playback"]["position_s"] = *position;
  } else {
    document["runtime"]["playback"].erase("position_s");
  }
  return document;
}

// Does one step: "→", "←" or "Home" pressed (its request written), "reload P" the backend
// rewriting the document with the player at P seconds, "wait MS" time passing, or "fail" the next
// request line failing.
void run_step(AppState& state, testing::MemoryRequests& channel, const std::string& step) {
  if (step == "fail") {
    channel.failure = "disk full";
  } else if (step.starts_with("wait ")) {
    state.now += std::chrono::milliseconds(std::stoi(step.substr(5)));
  } else if (step.starts_with("reload ")) {
    apply_reload(state, testing::document_of(playback_document(std::stod(step.substr(7)))));
  } else {
    handle_key(state, key(step == "→"   ? KeyCode::right
                          : step == "←" ? KeyCode::left
                                        : KeyCode::home));
    channel.from(state);
    channel.failure.reset();
  }
}

TEST(PlaybackSeek, SeeksPressedBeforeThePlayerReportsAddUp) {
  const struct {
    const char* name;
    std::optional<double> position;
    std::vector<std::string> steps;
    std::vector<double> offsets;
  } cases[] = {
      {"two quick presses move ten seconds", 30.0, {"→", "wait 150", "→"}, {35.0, 40.0}},
      {"back after forward returns", 30.0, {"→", "wait 150", "←"}, {35.0, 30.0}},
      {"a reported position replaces the target", 30.0, {"→", "reload 31", "→"}, {35.0, 36.0}},
      {"a rewrite with the same position keeps it", 30.0, {"→", "reload 30", "→"}, {35.0, 40.0}},
      {"the target lasts under two seconds", 30.0, {"→", "wait 1999", "→"}, {35.0, 40.0}},
      {"after two seconds the reported position counts again",
       30.0,
       {"→", "wait 2000", "→"},
       {35.0, 35.0}},
      {"Home then forward", 30.0, {"Home", "→"}, {0.0, 5.0}},
      {"the end of the recording holds", 58.0, {"→", "→"}, {59.999, 59.999}},
      {"without a position Home gives the next seek its start",
       std::nullopt,
       {"Home", "→"},
       {0.0, 5.0}},
      {"a seek that was not written is no target", 30.0, {"fail", "→", "→"}, {35.0}},
  };
  for (const auto& c : cases) {
    auto channel = std::make_shared<testing::MemoryRequests>();
    AppState state = testing::state_of(playback_document(c.position), View::playback, channel);
    state.now = std::chrono::steady_clock::time_point{} + std::chrono::hours(1);
    for (const std::string& step : c.steps) {
      run_step(state, *channel, step);
    }
    std::vector<double> offsets;
    for (const std::string& line : lines_of(channel->text)) {
      offsets.push_back(json::parse(line)["offset_s"].get<double>());
    }
    EXPECT_EQ(offsets, c.offsets) << c.name;
  }
}

}  // namespace
}  // namespace qm
