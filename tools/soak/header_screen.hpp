#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qm::soak {

// Follows the bytes a viewer sends to its terminal far enough to know the text of the top row:
// cursor moves, clears and printed characters; every other sequence (colours, modes, the
// clipboard) is skipped. Each character takes one cell, which holds for the header's texts.
class HeaderScreen {
 public:
  void feed(std::string_view bytes);
  // The top row's text, unset cells as spaces.
  std::string top_row() const;

 private:
  enum class State { ground, escape, csi, osc, osc_escape };

  void print(char byte);
  void finish_csi(char final_byte);
  void clear_top_row_from(std::size_t column);

  State state_ = State::ground;
  std::string parameters_;
  std::size_t row_ = 0;
  std::size_t column_ = 0;
  // The top row's cells, one UTF-8 character each.
  std::vector<std::string> cells_;
};

}  // namespace qm::soak
