#include "ui/detail_memo.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <nlohmann/json.hpp>
#include <string>

#include "frame_fixture.hpp"
#include "model/row_selection.hpp"
#include "model/session_model.hpp"
#include "support/documents.hpp"
#include "tui/buffer.hpp"
#include "tui/terminal.hpp"
#include "ui/frame.hpp"
#include "ui/scroll_extent.hpp"
#include "views/detail_page.hpp"

namespace qm {
namespace {

using ui_test::frame_document;
using ui_test::select_row;
using ui_test::state_for;

// One input of the detail page, changed.
struct PageInput {
  const char* name;
  View view;
  std::function<void(AppState&)> change;
};

void reload_with(AppState& state, nlohmann::json document) {
  state.model = build_model(testing::document_of(document));
  state.rows = build_view_rows(state.model, state.view, state.filter, state.results_status_filter);
}

const PageInput page_inputs[] = {
    {"reload", View::health,
     [](AppState& state) {
       nlohmann::json document = frame_document();
       document["problems"]["findings"].erase(0);
       reload_with(state, document);
     }},
    {"selection", View::health, [](AppState& state) { select_row(state, 1); }},
    {"selection_in_topics", View::topics, [](AppState& state) { select_row(state, 2); }},
    {"side", View::health,
     [](AppState& state) {
       state.model = show_side(state.model, Side::baseline);
       state.rows =
           build_view_rows(state.model, state.view, state.filter, state.results_status_filter);
     }},
    {"view", View::health, [](AppState& state) { reset_to_view(state, View::capture); }},
    {"raw_evidence", View::health, [](AppState& state) { state.raw_view = true; }},
    {"connection_cursor", View::topics, [](AppState& state) { state.connection_cursor = 1; }},
    {"answer", View::nodes,
     [](AppState& state) {
       nlohmann::json document = frame_document();
       document["configuration_diff"] = {{"node", state.selected_id.substr(5)},
                                         {"changed", {{"use_sim_time", true}}}};
       reload_with(state, document);
     }},
};

class DetailMemoInputs : public ::testing::TestWithParam<PageInput> {};

TEST_P(DetailMemoInputs, EachInputThatChangesThePageBuildsItAgain) {
  AppState state = state_for(frame_document(), GetParam().view);
  DetailMemo memo;
  const std::string before = memo.page(state).page().text;
  ASSERT_EQ(before, detail_page(state).text);

  GetParam().change(state);
  const DetailPage fresh = detail_page(state);
  ASSERT_NE(fresh.text, before) << "the change must show in the text";
  const DetailPage& kept = memo.page(state).page();
  EXPECT_EQ(kept.text, fresh.text);
  EXPECT_EQ(kept.title, fresh.title);
  EXPECT_EQ(memo.builds(), 2U);
}

INSTANTIATE_TEST_SUITE_P(Inputs, DetailMemoInputs, ::testing::ValuesIn(page_inputs),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

TEST(DetailMemo, MovingBetweenRowsBuildsEachPageOnce) {
  AppState state = state_for(frame_document(), View::health);
  DetailMemo memo;
  for (int turn = 0; turn < 3; ++turn) {
    select_row(state, 0);
    EXPECT_EQ(memo.page(state).page().text, detail_page(state).text);
    select_row(state, 1);
    EXPECT_EQ(memo.page(state).page().text, detail_page(state).text);
  }
  EXPECT_EQ(memo.builds(), 2U);
}

TEST(DetailMemo, TheLeastRecentlyUsedPageMakesRoom) {
  AppState state = ui_test::numbered_rows(limits::detail_pages_kept + 2);
  DetailMemo memo;
  for (std::size_t i = 0; i <= limits::detail_pages_kept; ++i) {
    select_row(state, i);
    memo.page(state);
  }
  // The first page was pushed out; the last ones are still kept.
  select_row(state, limits::detail_pages_kept);
  memo.page(state);
  EXPECT_EQ(memo.builds(), limits::detail_pages_kept + 1);
  select_row(state, 0);
  EXPECT_EQ(memo.page(state).page().text, detail_page(state).text);
  EXPECT_EQ(memo.builds(), limits::detail_pages_kept + 2);
}

TEST(DetailMemo, AReloadOfTheSameTextBuildsThePageAgain) {
  AppState state = state_for(frame_document(), View::health);
  DetailMemo memo;
  memo.page(state);
  const std::weak_ptr<const Document> first = state.model.document;
  reload_with(state, frame_document());
  ASSERT_TRUE(first.expired());
  EXPECT_EQ(memo.page(state).page().text, detail_page(state).text);
  EXPECT_EQ(memo.builds(), 2U);
}

TEST(DetailMemo, TheExtentFollowsTheWidthAndWrapping) {
  const AppState state = state_for(frame_document(), View::health);
  DetailMemo memo;
  const std::string text = detail_page(state).text;
  const struct {
    tui::Rect area;
    Wrapping wrapping;
  } cases[] = {
      {{0, 0, 60, 20}, Wrapping::words}, {{0, 0, 20, 20}, Wrapping::words},
      {{0, 0, 20, 7}, Wrapping::none},   {{0, 0, 60, 20}, Wrapping::words},
      {{0, 0, 0, 20}, Wrapping::words},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(memo.page(state).extent(c.area, c.wrapping), text_extent(text, c.area, c.wrapping))
        << c.area.width << "x" << c.area.height;
  }
}

// A frame drawn through the memo is the frame drawn without it, moving back and forth.
TEST(DetailMemo, FramesAreTheSameWithAndWithoutTheMemo) {
  AppState state = state_for(frame_document(), View::health);
  DetailMemo memo;
  for (const std::size_t row : {0U, 1U, 0U, 2U, 1U}) {
    select_row(state, row);
    tui::Buffer plain(tui::Rect{0, 0, 100, 30});
    tui::Buffer memoised(tui::Rect{0, 0, 100, 30});
    tui::Frame plain_frame(plain);
    tui::Frame memo_frame(memoised);
    draw_frame(plain_frame, state);
    draw_frame(memo_frame, state, memo);
    EXPECT_TRUE(plain.cells() == memoised.cells()) << "row " << row;
  }
}

}  // namespace
}  // namespace qm
