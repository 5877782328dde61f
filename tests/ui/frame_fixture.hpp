#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "model/app_state.hpp"
#include "model/view_rows.hpp"
#include "support/buffer_matchers.hpp"
#include "support/documents.hpp"
#include "support/fake_backend.hpp"
#include "tui/buffer.hpp"
#include "tui/terminal.hpp"
#include "ui/frame.hpp"

namespace qm::ui_test {

// The compact navigation-stack session the frame tests draw.
inline nlohmann::json frame_document() {
  std::ifstream in(std::string(QM_TEST_DATA) + "/ui/frame_session.json");
  std::stringstream text;
  text << in.rdbuf();
  return nlohmann::json::parse(text.str());
}

// A state over `document` showing `view` with its rows built and the first row selected.
inline AppState state_for(const nlohmann::json& document, View view, std::string filter = {}) {
  AppState state;
  state.model = build_model(testing::document_of(document));
  state.view = view;
  state.filter = std::move(filter);
  state.truecolour = true;
  state.rows = build_view_rows(state.model, view, state.filter, state.results_status_filter);
  if (!state.rows.empty()) {
    state.selected_id = state.rows.front().id;
  }
  return state;
}

inline void select_row(AppState& state, std::size_t index) {
  state.selected = index;
  state.selected_id = index < state.rows.size() ? std::string(state.rows[index].id) : std::string();
}

// A state in the Changes view, whose rows have no markers, with `count` rows "row {i}".
inline AppState numbered_rows(std::size_t count) {
  AppState state = state_for(frame_document(), View::changes);
  state.rows.clear();
  const DocumentPtr empty = testing::document_of(nlohmann::json::object());
  for (std::size_t i = 0; i < count; ++i) {
    state.rows.push_back(
        Row::owning("node:/n" + std::to_string(i), "row " + std::to_string(i), empty->root));
  }
  return state;
}

// The frame drawn at `width` x `height` with `detail` as the detail text.
inline tui::Buffer draw(AppState& state, uint16_t width, uint16_t height,
                        std::string_view detail = {}) {
  tui::Buffer buffer(tui::Rect{0, 0, width, height});
  tui::Frame frame(buffer);
  state.record_frame_size({width, height});
  draw_frame(frame, state, detail);
  return buffer;
}

// The bytes of the whole frame as a terminal of `size` receives them.
inline std::string frame_bytes(const AppState& state, tui::Size size, tui::EscapeOptions options) {
  auto record = std::make_shared<test_support::FakeTerminalRecord>();
  record->size = size;
  auto terminal =
      tui::Terminal::create(std::make_unique<test_support::FakeBackend>(record), options);
  EXPECT_TRUE(terminal);
  EXPECT_TRUE(terminal->draw([&](tui::Frame& frame) { draw_frame(frame, state); }));
  return record->take();
}

inline std::string golden_path(std::string_view name) {
  return std::string(QM_TEST_DATA) + "/ui/golden/" + std::string(name) + ".txt";
}

// Compares the buffer's rows with the golden grid `name` (one row per line). With
// QM_UPDATE_GOLDEN=1 in the environment the file is written from the buffer instead.
inline ::testing::AssertionResult matches_golden(const tui::Buffer& buffer, std::string_view name) {
  const std::string path = golden_path(name);
  const char* update = std::getenv("QM_UPDATE_GOLDEN");
  if (update != nullptr && std::string_view(update) == "1") {
    std::ofstream out(path, std::ios::trunc);
    for (const std::string& row : buffer.rows()) {
      out << row << '\n';
    }
    return out ? ::testing::AssertionSuccess()
               : ::testing::AssertionFailure() << "cannot write " << path;
  }
  std::ifstream in(path);
  if (!in) {
    return ::testing::AssertionFailure()
           << "no golden grid " << path << " (run with QM_UPDATE_GOLDEN=1 to write it); drawn:\n"
           << buffer.to_string();
  }
  std::vector<std::string> expected;
  for (std::string row; std::getline(in, row);) {
    expected.push_back(row);
  }
  return test_support::grid_equals(buffer, expected);
}

// The column where `text` starts on row `y`, counted in cells; a failure when it is not there.
inline uint16_t column_of(const tui::Buffer& buffer, uint16_t y, std::string_view text) {
  std::string row;
  std::vector<uint16_t> columns;
  for (uint16_t x = 0; x < buffer.area().width; ++x) {
    const std::string_view symbol = buffer.at(x, y).symbol;
    columns.insert(columns.end(), symbol.size(), x);
    row += symbol;
  }
  const std::size_t found = row.find(text);
  if (found == std::string::npos) {
    ADD_FAILURE() << "no \"" << text << "\" on row " << y << ": " << row;
    return 0;
  }
  return columns[found];
}

}  // namespace qm::ui_test
