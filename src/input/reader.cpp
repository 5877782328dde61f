#include "input/reader.hpp"

#include "model/limits.hpp"
#include "model/mode_keys.hpp"

namespace qm {

std::optional<int> reader_rows(const tui::KeyEvent& key) {
  switch (command_for(reader_keys(), key).value_or(ReaderCommand::close)) {
    case ReaderCommand::line_up:
      return -1;
    case ReaderCommand::line_down:
      return 1;
    case ReaderCommand::page_up:
      return -int{limits::detail_page_step};
    case ReaderCommand::page_down:
      return int{limits::detail_page_step};
    case ReaderCommand::close:
      break;
  }
  return std::nullopt;
}

}  // namespace qm
