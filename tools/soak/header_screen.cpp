#include "header_screen.hpp"

#include <charconv>

namespace qm::soak {

namespace {

// The `index`th of the `;`-separated numbers, or `fallback` when it is missing or zero.
std::size_t parameter(std::string_view parameters, std::size_t index, std::size_t fallback) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < index; ++i) {
    const std::size_t separator = parameters.find(';', start);
    if (separator == std::string_view::npos) {
      return fallback;
    }
    start = separator + 1;
  }
  const std::string_view field = parameters.substr(start, parameters.find(';', start) - start);
  std::size_t value = 0;
  const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
  return error == std::errc{} && value > 0 ? value : fallback;
}

}  // namespace

void HeaderScreen::feed(std::string_view bytes) {
  for (const char byte : bytes) {
    switch (state_) {
      case State::ground:
        if (byte == '\x1b') {
          state_ = State::escape;
        } else if (byte == '\r') {
          column_ = 0;
        } else if (byte == '\n') {
          ++row_;
        } else if (static_cast<unsigned char>(byte) >= 0x20) {
          print(byte);
        }
        break;
      case State::escape:
        state_ = byte == '[' ? State::csi : byte == ']' ? State::osc : State::ground;
        parameters_.clear();
        break;
      case State::csi:
        if (byte >= 0x40 && byte <= 0x7E) {
          finish_csi(byte);
          state_ = State::ground;
        } else {
          parameters_ += byte;
        }
        break;
      case State::osc:
        if (byte == '\a') {
          state_ = State::ground;
        } else if (byte == '\x1b') {
          state_ = State::osc_escape;
        }
        break;
      case State::osc_escape:
        state_ = byte == '\\' ? State::ground : State::osc;
        break;
    }
  }
}

std::string HeaderScreen::top_row() const {
  std::string text;
  for (const std::string& cell : cells_) {
    text += cell.empty() ? " " : cell;
  }
  return text;
}

void HeaderScreen::print(char byte) {
  const bool continuation = (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
  if (continuation) {
    // Belongs to the character just printed, one cell back.
    if (row_ == 0 && column_ > 0 && column_ - 1 < cells_.size()) {
      cells_[column_ - 1] += byte;
    }
    return;
  }
  if (row_ == 0) {
    if (cells_.size() <= column_) {
      cells_.resize(column_ + 1);
    }
    cells_[column_] = std::string(1, byte);
  }
  ++column_;
}

void HeaderScreen::finish_csi(char final_byte) {
  if (!parameters_.empty() && (parameters_[0] == '?' || parameters_[0] == '<')) {
    return;
  }
  switch (final_byte) {
    case 'H':
    case 'f':
      row_ = parameter(parameters_, 0, 1) - 1;
      column_ = parameter(parameters_, 1, 1) - 1;
      break;
    case 'J':
      if (parameter(parameters_, 0, 0) == 2 || row_ == 0) {
        clear_top_row_from(parameter(parameters_, 0, 0) == 2 ? 0 : column_);
      }
      break;
    case 'K':
      if (row_ == 0) {
        clear_top_row_from(parameter(parameters_, 0, 0) == 0 ? column_ : 0);
      }
      break;
    default:
      break;
  }
}

void HeaderScreen::clear_top_row_from(std::size_t column) {
  if (column < cells_.size()) {
    cells_.resize(column);
  }
}

}  // namespace qm::soak
