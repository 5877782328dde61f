#include "views/playback_detail.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <vector>

#include "support/documents.hpp"
#include "text/text.hpp"

namespace qm {
namespace {

using nlohmann::json;

std::string playback_of(const json& document) {
  AppState state;
  state.model = build_model(testing::document_of(document));
  return playback_page(state).text;
}

// What comes before the player block.
std::string lead_of(const json& playback) {
  const std::string text = playback_of({{"runtime", {{"playback", playback}}}});
  return text.substr(0, text.find("RECORDING PLAYBACK"));
}

TEST(PlaybackDetail, PositionBarClampsToTheRecording) {
  const struct {
    double position, total;
    std::size_t filled;
  } cases[] = {{30, 60, 24}, {90, 60, 47},  {0.5, 0, 47},
               {-5, 60, 0},  {1, 1e308, 0}, {1e308, 1e-308, 47}};
  for (const auto& c : cases) {
    const json playback = {{"recording", {{"duration_s", c.total}}},
                           {"position_s", c.position},
                           {"position", {{"note", "estimated"}}}};
    const std::string lead = lead_of(playback);
    EXPECT_EQ(lead.substr(lead.find('\n')),
              "\n" + filler("─", c.filled) + "●" + filler("─", 47 - c.filled) + "\nestimated\n\n")
        << c.position << " of " << c.total;
  }
}

TEST(PlaybackDetail, PresenceStripHasAtMost48Cells) {
  std::vector<int> first_half(100, 0);
  std::fill_n(first_half.begin(), 50, 3);
  std::vector<int> last_of_many(1'000'000, 0);
  last_of_many.back() = 1;
  const struct {
    json bins;
    std::string strip;
  } cases[] = {
      {first_half, filler("█", 24) + filler("·", 24)},
      {last_of_many, filler("·", 47) + "█"},
      {{1, 0, 2, 0, 0, 0, 0, 0, 0, 3}, "█·█······█"},
      {{2.5, "3", -1, true}, "····"},
      {json::array(), "·"},
  };
  for (const auto& c : cases) {
    const json topic = {{"topic", "/t"}, {"count", 9}, {"bins", c.bins}};
    EXPECT_EQ(lead_of({{"lanes", {{"method", "message-index"}, {"topics", {topic}}}}}),
              "\nLANES  from the recording's message indexes · unknown files · 0.0 s\n"
              "/t                     " +
                  c.strip + " 9\n\n");
  }
}

TEST(PlaybackDetail, LanesAndTheirFirstGaps) {
  json gaps = json::array();
  for (int i = 0; i < 5; ++i) {
    gaps.push_back({{"start_s", i}, {"end_s", i + 0.5}, {"kind", "silence"}});
  }
  gaps[1].erase("end_s");
  const json lanes = {{"method", "message-index"},
                      {"files", 2},
                      {"gap_rule", "empty bin"},
                      {"omitted_topics", 4},
                      {"topics",
                       {{{"topic", "/scan"}, {"count", 30}, {"bins", {5}}, {"gaps", gaps}},
                        {{"topic", "/a/very/long/topic/name/for/lanes"}, {"bins", {0}}}}}};
  const struct {
    json playback;
    std::string lead;
  } cases[] = {
      {{{"recording", {{"duration_s", 60}}}, {"seek", true}, {"lanes", lanes}},
       "Seek: ←/→ moves 5 s, Home returns to the start\n\n"
       "LANES  from the recording's message indexes · 2 files · 60.0 s\n"
       "/scan                  █ 30\n"
       "…/topic/name/for/lanes · unknown\n"
       "… 4 more topics not shown\n\n"
       "GAPS  empty bin\n"
       "/scan  0.00–0.50 s (silence)\n"
       "/scan  1.00–0.00 s (silence)\n"
       "/scan  2.00–2.50 s (silence)\n\n"},
      {{{"lanes", {{"method", "chunk-coverage"}, {"reason", "no index"}}}},
       "\nLANES  per-topic lanes unknown: no index\n\n"},
      {{{"lanes", {{"method", "none"}, {"reason", "unreadable"}}}}, "\nLANES  unreadable\n\n"},
      {{{"position", {{"basis", "unknown"}, {"note", "silent"}}}, {"position_s", 3}},
       "POSITION  unknown · silent\n\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(lead_of(c.playback), c.lead);
  }
}

TEST(PlaybackDetail, WithoutPlaybackThePlayerBlockAlone) {
  EXPECT_EQ(playback_of({{"runtime", {{"error", nullptr}}}}),
            "RECORDING PLAYBACK\n\n"
            "State       unknown\n"
            "Recording   unknown\n"
            "Owned       unknown\n"
            "Available   unknown\n\n"
            "p  Start configured recording\n"
            "Space  Pause / resume owned player\n"
            "x  Stop owned player\n"
            "r  Refresh captures\n\n"
            "unknown\n\n"
            "Backend error\nnone\n\n"
            "Player log\nunknown\n\n"
            "Playback commands are explicit requests to the backend.\n"
            "Only its owned player is controlled. Captures are observations;\n"
            "refresh updates graph and TF, not arbitrary message payloads.");
}

}  // namespace
}  // namespace qm
