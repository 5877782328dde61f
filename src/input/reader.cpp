#include "input/reader.hpp"

#include "base/saturating.hpp"
#include "model/limits.hpp"
#include "model/mode_keys.hpp"

namespace qm {

void reader_key(uint16_t& scroll, bool& open, const tui::KeyEvent& key) {
  switch (command_for(reader_keys(), key).value_or(ReaderCommand::close)) {
    case ReaderCommand::line_up:
      scroll = base::saturating_sub(scroll, uint16_t{1});
      break;
    case ReaderCommand::line_down:
      scroll = base::saturating_add(scroll, uint16_t{1});
      break;
    case ReaderCommand::page_up:
      scroll = base::saturating_sub(scroll, limits::detail_page_step);
      break;
    case ReaderCommand::page_down:
      scroll = base::saturating_add(scroll, limits::detail_page_step);
      break;
    case ReaderCommand::close:
      open = false;
      break;
  }
}

}  // namespace qm
