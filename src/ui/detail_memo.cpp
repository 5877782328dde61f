#include "ui/detail_memo.hpp"

#include <algorithm>

namespace qm {

namespace {

bool same_owner(const std::weak_ptr<const Document>& a, const std::weak_ptr<const Document>& b) {
  return !a.owner_before(b) && !b.owner_before(a);
}

}  // namespace

DetailPageKey DetailPageKey::of(const AppState& state) {
  DetailPageKey key;
  key.document = state.model.document;
  key.side = state.model.side;
  key.view = state.view;
  key.raw_view = state.raw_view;
  if (const Row* row = state.selected_row()) {
    key.has_row = true;
    key.row_id = row->id;
    key.row_label = row->label;
    key.row_value = row->value;
    key.row_owner = row->owned;
  }
  key.selected_id = state.selected_id;
  key.connection_cursor = state.connection_cursor;
  return key;
}

bool DetailPageKey::same(const DetailPageKey& other) const {
  // A page made while a document was shown is never taken for another's, nor kept past it.
  const bool documents_alive = document.expired() == other.document.expired() &&
                               row_owner.expired() == other.row_owner.expired();
  return documents_alive && same_owner(document, other.document) && side == other.side &&
         view == other.view && raw_view == other.raw_view && has_row == other.has_row &&
         row_value == other.row_value && same_owner(row_owner, other.row_owner) &&
         connection_cursor == other.connection_cursor && row_id == other.row_id &&
         row_label == other.row_label && selected_id == other.selected_id;
}

ScrollExtent KeptPage::extent(tui::Rect area, Wrapping wrapping) {
  if (area.empty()) {
    return ScrollExtent{0, area.height};
  }
  if (measured_width_ != area.width || measured_wrapping_ != wrapping) {
    rows_ = text_extent(page_.text, area, wrapping).rows;
    measured_width_ = area.width;
    measured_wrapping_ = wrapping;
  }
  return ScrollExtent{rows_, area.height};
}

KeptPage& DetailMemo::page(const AppState& state) {
  DetailPageKey key = DetailPageKey::of(state);
  ++clock_;
  for (KeptPage& kept : pages_) {
    if (kept.used_ != 0 && kept.key_.same(key)) {
      kept.used_ = clock_;
      return kept;
    }
  }
  // Pages of a document that is gone are never shown again; their texts go with it.
  for (KeptPage& kept : pages_) {
    if (kept.used_ != 0 && kept.key_.document.expired()) {
      kept = KeptPage();
    }
  }
  // The page used longest ago makes room.
  KeptPage& oldest =
      *std::min_element(pages_.begin(), pages_.end(),
                        [](const KeptPage& a, const KeptPage& b) { return a.used_ < b.used_; });
  oldest = KeptPage(std::move(key), detail_page(state), clock_);
  ++builds_;
  return oldest;
}

}  // namespace qm
