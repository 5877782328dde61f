#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "json/json.hpp"
#include "model/app_state.hpp"
#include "model/limits.hpp"
#include "tui/geometry.hpp"
#include "ui/scroll_extent.hpp"
#include "views/detail_page.hpp"

namespace qm {

// Everything of the state that the detail page is made of. Two states with equal keys give the
// same page: the document is held weakly, so a reloaded document never equals the one it
// replaced even when it is allocated where that one was.
struct DetailPageKey {
  std::weak_ptr<const Document> document;
  Side side = Side::current;
  View view = View::health;
  bool raw_view = false;
  bool has_row = false;
  std::string row_id;
  std::string row_label;
  const Json* row_value = nullptr;
  std::weak_ptr<const Document> row_owner;
  std::string selected_id;
  std::optional<std::size_t> connection_cursor;

  static DetailPageKey of(const AppState& state);
  // False once the document is gone: a page of a freed document is never shown again.
  bool same(const DetailPageKey& other) const;
};

// A detail page as built, with how far its text reached at the width it was last measured.
class KeptPage {
 public:
  KeptPage() = default;
  KeptPage(DetailPageKey key, DetailPage page, uint64_t used)
      : key_(std::move(key)), page_(std::move(page)), used_(used) {}

  const DetailPage& page() const { return page_; }
  // How the page fills `area`: measured once per width and wrapping.
  ScrollExtent extent(tui::Rect area, Wrapping wrapping);

 private:
  friend class DetailMemo;

  DetailPageKey key_;
  DetailPage page_;
  uint64_t used_ = 0;
  std::optional<uint16_t> measured_width_;
  Wrapping measured_wrapping_ = Wrapping::words;
  std::size_t rows_ = 0;
};

// The detail pages drawn lately, each built once and kept while its inputs stay the same. It
// changes how fast a frame is drawn, never what is drawn; the loop owns it and hands it to each
// frame.
class DetailMemo {
 public:
  // The page of the state's view and row, built when none of the kept pages has its key.
  KeptPage& page(const AppState& state);

  // How many pages were built since the memo was made.
  std::size_t builds() const { return builds_; }

 private:
  std::array<KeptPage, limits::detail_pages_kept> pages_{};
  uint64_t clock_ = 0;
  std::size_t builds_ = 0;
};

}  // namespace qm
