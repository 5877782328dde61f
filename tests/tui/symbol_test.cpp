#include "tui/symbol.hpp"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "tui/diff.hpp"

namespace tui {
namespace {

// Clusters at both sides of what a cell keeps in place.
const std::string at_capacity(Symbol::inline_capacity, 'a');
const std::string past_capacity(Symbol::inline_capacity + 1, 'a');
const std::string family = "\U0001F468\u200D\U0001F469\u200D\U0001F467";

TEST(Symbol, KeepsEveryTextThroughAssignAppendCopyAndMove) {
  struct Case {
    std::string first;
    std::string second;
  };
  const Case cases[] = {
      {"x", "\u2500"}, {"\u2500", "x"},         {at_capacity, "b"}, {"b", past_capacity},
      {family, "y"},   {past_capacity, family}, {"", at_capacity},  {family, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.first + " then " + c.second);
    Symbol symbol(c.first);
    EXPECT_EQ(symbol, c.first);
    symbol.append(c.second);
    EXPECT_EQ(symbol, c.first + c.second);
    Symbol copy = symbol;
    EXPECT_EQ(copy, symbol);
    symbol = c.second;
    EXPECT_EQ(symbol, c.second);
    Symbol moved = std::move(copy);
    EXPECT_EQ(moved, c.first + c.second);
    std::swap(moved, symbol);
    EXPECT_EQ(symbol, c.first + c.second);
    EXPECT_EQ(moved, c.second);
  }
}

TEST(Symbol, TakesAPartOfItself) {
  for (const std::string& text : {std::string("abc"), past_capacity + "zz", family}) {
    Symbol symbol(text);
    symbol = symbol.view().substr(1);
    EXPECT_EQ(symbol, text.substr(1));
  }
}

// The diff compares cells byte for byte; what a cell held before must not count.
TEST(Symbol, EqualTextsCompareEqualWhateverCameBefore) {
  for (const std::string& before : {std::string("\u2500"), at_capacity, family, std::string()}) {
    SCOPED_TRACE(before);
    Cell reused;
    reused.symbol = before;
    reused.reset();
    EXPECT_EQ(reused, Cell{});
    Buffer previous(Rect{0, 0, 2, 1});
    Buffer next(Rect{0, 0, 2, 1});
    previous.at(0, 0).symbol = before;
    previous.at(0, 0).set_symbol("q");
    next.at(0, 0).set_symbol("q");
    next.at(1, 0).symbol = family;
    previous.at(1, 0).symbol = family;
    EXPECT_TRUE(diff_buffers(previous, next).empty());
    next.at(1, 0).symbol = past_capacity;
    EXPECT_EQ(diff_buffers(previous, next).size(), 1u);
  }
}

}  // namespace
}  // namespace tui
