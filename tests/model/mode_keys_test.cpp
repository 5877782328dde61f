#include "model/mode_keys.hpp"

#include <gtest/gtest.h>

#include "support/key_events.hpp"

namespace qm {
namespace {

using testing::key;
using tui::KeyCode;

// The legends inside the panels are made from the key tables and read word for word as fixed.
TEST(ModeKeys, LegendsReadAsFixed) {
  const struct {
    std::string generated;
    std::string_view fixed;
  } cases[] = {
      {log_legend(),
       "/ search · e/w/a severity · c context · f full · r refresh · PgUp/PgDn page · j/k scroll · "
       "←/→ pan · Esc close"},
      {assistant_legend(),
       "C connect AI with masked setup · m enable/disable · l managed login separately\n"
       "S sets up ChatGPT subscription · s attach selection · i prompt\n"
       "y approve once · n deny · c cancel · p connection · d models\n"
       "t tool probe · u account (provider actions require review)\n"
       "w request isolated worker · K checkpoint · r validate resume (fresh consent required)\n"
       "e raw evidence · v raw state · PgUp/PgDn scroll · Esc / A close"},
      {prompt_legend(), "Enter prepares disclosure for review; Esc finishes editing"},
      {form_legend(), "Enter continues / saves · Esc cancels"},
      {palette_legend(), "↑/↓ choose · Enter runs · Esc closes"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.generated, c.fixed);
  }
}

// Keys that share a legend entry do what the entry says, and the first binding wins.
TEST(ModeKeys, KeysFindTheirCommands) {
  const struct {
    tui::KeyEvent key;
    std::optional<LogCommand> log;
    std::optional<AssistantCommand> assistant;
  } cases[] = {
      {key(KeyCode::page_down), LogCommand::next_page, AssistantCommand::scroll_down},
      {key(KeyCode::up), LogCommand::previous_page, AssistantCommand::scroll_up},
      {key(KeyCode::left), LogCommand::pan_left, std::nullopt},
      {key(U'w'), LogCommand::severity_warning, AssistantCommand::acquire_worker},
      {key(U'L'), LogCommand::close, std::nullopt},
      {key(U'q'), std::nullopt, AssistantCommand::close},
      {key(KeyCode::home), LogCommand::first_page, AssistantCommand::scroll_top},
      {key(U'G'), LogCommand::last_page, std::nullopt},
      {key(KeyCode::f5), std::nullopt, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(command_for(log_keys(), c.key), c.log);
    EXPECT_EQ(command_for(assistant_keys(), c.key), c.assistant);
  }
  EXPECT_EQ(command_for(prompt_keys(), key(U'y')), EntryCommand::type);
  EXPECT_EQ(command_for(reader_keys(), key(KeyCode::f5)), ReaderCommand::close);
}

}  // namespace
}  // namespace qm
