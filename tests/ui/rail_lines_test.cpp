#include "ui/rail_lines.hpp"

#include <gtest/gtest.h>

#include "frame_fixture.hpp"
#include "ui/palette.hpp"

namespace qm {
namespace {

using ui_test::frame_document;
using ui_test::state_for;

std::vector<RailBadge> badges_of(const nlohmann::json& document, View view,
                                 Side side = Side::current) {
  AppState state = state_for(document, View::health);
  if (side == Side::baseline) {
    state.model = show_side(state.model, Side::baseline);
  }
  return rail_badges(state, view);
}

using Badges = std::vector<RailBadge>;

TEST(RailBadges, HealthCountsOrTheChecksVerdict) {
  nlohmann::json document = frame_document();
  EXPECT_EQ(badges_of(document, View::health),
            (Badges{{"1✕", palette::bad}, {"2▲", palette::warn}}));
  // The tally describes the current capture even while the baseline is shown.
  EXPECT_EQ(badges_of(document, View::health, Side::baseline),
            (Badges{{"1✕", palette::bad}, {"2▲", palette::warn}}));

  document["problems"]["findings"] = nlohmann::json::array();
  EXPECT_EQ(badges_of(document, View::health), (Badges{{"?", palette::text_muted}}));
  document["problems"]["status"] = "complete";
  EXPECT_EQ(badges_of(document, View::health), (Badges{{"✓", palette::ok}}));
  EXPECT_EQ(badges_of(document, View::health, Side::baseline), Badges{});

  document["problems"]["findings"] = {{{"id", "problem:a"}, {"severity", "unknown"}}};
  EXPECT_EQ(badges_of(document, View::health), (Badges{{"1▲", palette::warn}}));
}

TEST(RailBadges, CountsOfTopicsNodesFramesAndChanges) {
  nlohmann::json document = frame_document();
  EXPECT_EQ(badges_of(document, View::graph), Badges{});
  EXPECT_EQ(badges_of(document, View::topics), (Badges{{"6", palette::text_muted}}));
  // Five node entities, one of them the capture's own.
  EXPECT_EQ(badges_of(document, View::nodes), (Badges{{"4", palette::text_muted}}));
  EXPECT_EQ(badges_of(document, View::tf), (Badges{{"1▲", palette::warn}}));
  EXPECT_EQ(badges_of(document, View::changes), (Badges{{"2", palette::warn}}));

  document["problems"]["observer"]["node"] = "/not_an_entity";
  EXPECT_EQ(badges_of(document, View::nodes), (Badges{{"5", palette::text_muted}}));
  document["current"]["tf"]["multi_parent_frames"] = nlohmann::json::array();
  EXPECT_EQ(badges_of(document, View::tf), (Badges{{"5", palette::text_muted}}));
  document["comparison"]["changes"] = nlohmann::json::array();
  EXPECT_EQ(badges_of(document, View::changes), Badges{});
  document["comparison"] = "none";
  EXPECT_EQ(badges_of(document, View::changes), Badges{});
}

TEST(RailBadges, ResultsVerdictAndPlaybackState) {
  nlohmann::json document = frame_document();
  EXPECT_EQ(badges_of(document, View::results), (Badges{{"FAIL", palette::bad}}));
  document["runs"] = {{{"status", "passed"}}, {{"status", "blocked"}}};
  EXPECT_EQ(badges_of(document, View::results), (Badges{{"BLK", palette::warn}}));
  document["runs"].push_back({{"status", "error"}});
  EXPECT_EQ(badges_of(document, View::results), (Badges{{"FAIL", palette::bad}}));
  document["runs"] = {{{"status", "passed"}}, {{"title", "no status"}}};
  EXPECT_EQ(badges_of(document, View::results), (Badges{{"PASS", palette::ok}}));
  document["runs"] = nlohmann::json::array();
  EXPECT_EQ(badges_of(document, View::results), Badges{});

  EXPECT_EQ(badges_of(document, View::playback), (Badges{{"pause", palette::warn}}));
  document["runtime"]["playback"]["state"] = "playing";
  EXPECT_EQ(badges_of(document, View::playback), (Badges{{"play", palette::info}}));
  document["runtime"]["playback"]["state"] = "stopped";
  EXPECT_EQ(badges_of(document, View::playback), Badges{});
  EXPECT_EQ(badges_of(document, View::capture), Badges{});
  EXPECT_EQ(badges_of(document, View::project), Badges{});
}

TEST(RailLines, ViewLinesPutTheBadgesAtTheRight) {
  const AppState state = state_for(frame_document(), View::health);
  tui::Line line = rail_view_line(state, View::health, true, 18);
  EXPECT_EQ(line.plain(), "›1 Health   1✕ 2▲");
  EXPECT_EQ(line.spans[0], tui::Span("›", tui::fg(palette::accent).bold()));
  EXPECT_EQ(line.spans[1], tui::Span("1 Health", tui::fg(palette::text_bright).bold()));
  EXPECT_EQ(line.spans[3], tui::Span("1✕", tui::fg(palette::bad)));
  EXPECT_EQ(line.spans[5], tui::Span("2▲", tui::fg(palette::warn)));

  line = rail_view_line(state, View::topics, false, 18);
  EXPECT_EQ(line.plain(), " 3 Topics       6");
  EXPECT_EQ(line.spans[1], tui::Span("3 Topics", tui::fg(palette::text_base)));
  EXPECT_EQ(rail_view_line(state, View::project, false, 18).plain(), " 0 Project       ");
  // Too narrow for the filler: the badges follow the name at once.
  EXPECT_EQ(rail_view_line(state, View::playback, false, 12).plain(), " 8 Playbackpause");

  EXPECT_EQ(rail_heading_line("EVIDENCE"), tui::Line(" EVIDENCE", tui::fg(palette::text_dim)));
}

}  // namespace
}  // namespace qm
