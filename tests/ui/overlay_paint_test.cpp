#include <gtest/gtest.h>

#include <string>

#include "model/palette_candidates.hpp"
#include "overlay_documents.hpp"
#include "rate_history_documents.hpp"
#include "support/terminal_bytes.hpp"
#include "ui/overlay_box.hpp"
#include "ui/palette.hpp"

namespace qm {
namespace {

using ui_test::draw;
using ui_test::matches_golden;
using ui_test::state_for;

// One way of opening panels, and the box of the panel drawn last.
struct Panels {
  std::string_view name;
  nlohmann::json (*document)();
  void (*open)(AppState&);
  tui::Rect (*box)(tui::Rect area, const AppState& state);
};

const Panels panel_cases[] = {
    {"help", ui_test::frame_document, [](AppState& s) { s.help_open = true; },
     [](tui::Rect area, const AppState&) { return help_box(area); }},
    {"log_current", ui_test::launch_document, [](AppState& s) { s.log.open = true; },
     [](tui::Rect area, const AppState&) { return log_box(area); }},
    // A page for another severity is on hand while the search is being typed.
    {"log_pending", ui_test::launch_document,
     [](AppState& s) {
       s.log.open = true;
       s.log.severity = "error";
       s.log.search_entry = true;
       s.log.search_input = "died";
     },
     [](tui::Rect area, const AppState&) { return log_box(area); }},
    {"form", ui_test::frame_document,
     [](AppState& s) {
       s.form = FormState{};
       s.form->answers = {"The dock pose arrives late"};
       s.form->input = "  The rate drops";
       s.status = "Step 1 saved";
     },
     [](tui::Rect area, const AppState&) { return form_box(area); }},
    {"assistant", ui_test::assistant_document,
     [](AppState& s) {
       s.assistant.open = true;
       s.assistant.prompt = "Explain the QoS mismatch";
       s.assistant.composing = true;
     },
     [](tui::Rect area, const AppState&) { return assistant_box(area); }},
    {"messages", ui_test::frame_document,
     [](AppState& s) {
       s.messages.open = true;
       note_messages(s.messages, "", "Watching amr-07 docking bring-up", "09:14:02");
       note_messages(s.messages,
                     "Request failed: the request channel is on a full disk; free some space "
                     "and press the key again, nothing was written",
                     "", "09:14:07");
     },
     [](tui::Rect area, const AppState&) { return help_box(area); }},
    // The cursor is on the drop below the declared minimum.
    {"rate_history", ui_test::scan_rates_document,
     [](AppState& s) { ui_test::open_scan_history(s, 27); },
     [](tui::Rect area, const AppState&) { return log_box(area); }},
    // The palette lies over the help.
    {"palette_help", ui_test::frame_document,
     [](AppState& s) {
       s.help_open = true;
       s.palette = PaletteState{"ca", 1};
     },
     [](tui::Rect area, const AppState& s) {
       return palette_box(area, palette_matches(s, s.palette->query).size());
     }},
};

const tui::Size sizes[] = {{80, 24}, {200, 60}};

AppState opened(const Panels& panels) {
  AppState state = state_for(panels.document(), View::health);
  panels.open(state);
  return state;
}

TEST(OverlayPaint, EveryCellHasTheFramesColours) {
  const tui::Cell cleared = [] {
    tui::Cell cell;
    cell.apply(tui::fg(palette::text_dim).with_bg(palette::bg_base));
    return cell;
  }();
  for (const Panels& panels : panel_cases) {
    for (const tui::Size size : sizes) {
      const std::string name =
          "overlay_" + std::string(panels.name) + "_" + std::to_string(size.width);
      SCOPED_TRACE(name);
      AppState state = opened(panels);
      const tui::Buffer buffer = draw(state, size.width, size.height);
      EXPECT_TRUE(matches_golden(buffer, name));

      // No cell keeps the terminal's own colours, which differ from one terminal to the next.
      int unpainted = 0;
      for (uint16_t y = 0; y < size.height; ++y) {
        for (uint16_t x = 0; x < size.width; ++x) {
          if (buffer.at(x, y).bg == tui::Color{} || buffer.at(x, y).fg == tui::Color{}) {
            if (++unpainted <= 3) {
              ADD_FAILURE() << "cell " << x << "," << y << " has a default colour";
            }
          }
        }
      }
      EXPECT_EQ(unpainted, 0);

      // The columns either side of the last panel are emptied, so no text beneath touches it.
      const tui::Rect box = panels.box(buffer.area(), state);
      for (const uint16_t x : {static_cast<uint16_t>(box.x - 1), box.right()}) {
        for (uint16_t y = box.y; y < box.bottom(); ++y) {
          EXPECT_EQ(buffer.at(x, y), cleared) << "column " << x << " row " << y;
        }
      }

      // On the wire: never the terminal's default colours (39, 49).
      for (const std::string& parameter :
           testing::sgr_parameters(ui_test::frame_bytes(state, size, tui::EscapeOptions{}))) {
        EXPECT_TRUE(parameter != "39" && parameter != "49") << parameter;
      }
    }
  }
}

}  // namespace
}  // namespace qm
