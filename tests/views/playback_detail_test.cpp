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

// The strip of one topic's bins, as its lane line shows it.
std::string strip_of(const json& bins) {
  const json topic = {{"topic", "/t"}, {"count", 9}, {"bins", bins}};
  const std::string lead = lead_of({{"lanes", {{"method", "message-index"}, {"topics", {topic}}}}});
  const std::string head =
      "\nLANES  from the recording's message indexes · unknown files · 0.0 s\n/t" +
      std::string(21, ' ');
  EXPECT_TRUE(lead.starts_with(head) && lead.ends_with(" 9\n\n")) << lead;
  return lead.substr(head.size(), lead.size() - head.size() - 4);
}

// Bins of `count` covering the recording, those from `first` up to `end` holding messages.
json bins_with(std::size_t count, std::size_t first, std::size_t end) {
  std::vector<int> bins(count, 0);
  std::fill(bins.begin() + static_cast<std::ptrdiff_t>(first),
            bins.begin() + static_cast<std::ptrdiff_t>(end), 4);
  return bins;
}

// Every topic's bins split the whole recording, so every lane is 48 cells of the same time axis,
// however many bins it has.
TEST(PlaybackDetail, EveryLaneSpansTheRecordingIn48Cells) {
  const struct {
    const char* note;
    json bins;
    std::string strip;
  } cases[] = {
      {"100 bins, first half", bins_with(100, 0, 50), filler("█", 24) + filler("·", 24)},
      {"96 bins, second half", bins_with(96, 48, 96), filler("·", 24) + filler("█", 24)},
      {"only the last of a million", bins_with(1'000'000, 999'999, 1'000'000),
       filler("·", 47) + "█"},
      {"10 bins: first, third and last",
       {1, 0, 2, 0, 0, 0, 0, 0, 0, 3},
       filler("█", 5) + filler("·", 5) + filler("█", 5) + filler("·", 29) + filler("█", 4)},
      {"one bin over the whole recording", {7}, filler("█", 48)},
      {"counts that are not unsigned", {2.5, "3", -1, true}, filler("·", 48)},
      {"no bins: no messages", json::array(), filler("·", 48)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(strip_of(c.bins), c.strip) << c.note;
  }
}

// Topics that hold messages over the same stretch of the recording mark the same cells, whatever
// their bin counts: here the sixth tenth of it.
TEST(PlaybackDetail, LanesOfOneStretchMarkTheSameCells) {
  const std::string expected = filler("·", 24) + filler("█", 5) + filler("·", 19);
  for (const std::size_t count : {10U, 20U, 50U, 100U, 480U}) {
    EXPECT_EQ(strip_of(bins_with(count, count / 2, count * 6 / 10)), expected) << count;
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
       "/scan                  " +
           filler("█", 48) +
           " 30\n"
           "…/topic/name/for/lanes " +
           filler("·", 48) +
           " unknown\n"
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
