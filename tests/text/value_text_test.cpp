#include "text/value_text.hpp"

#include <gtest/gtest.h>

#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "support/documents.hpp"

using nlohmann::json;
using qm::testing::document_of;

namespace {

// The texts of the value the program reads from the literal.
std::string display_text(const json& value) {
  return qm::value_display_text(document_of(value)->root);
}
std::string outline(const json& value, std::size_t depth = 0) {
  return qm::outline_text(document_of(value)->root, depth);
}
std::string number_text(const json& number) {
  return qm::format_number(document_of(number)->root);
}

TEST(ValueDisplayText, ScalarsAndStrings) {
  EXPECT_EQ(display_text(json()), "unknown");
  EXPECT_EQ(display_text(json(3)), "3");
  EXPECT_EQ(display_text(json(-3)), "-3");
  EXPECT_EQ(display_text(json(2.5)), "2.5");
  EXPECT_EQ(display_text(json(true)), "true");
  EXPECT_EQ(display_text(json("")), "");
  EXPECT_EQ(display_text(json("line one\nline two\n")), "line one↵line two↵");
  EXPECT_EQ(display_text(json("a\tb")), "a b");
  EXPECT_EQ(display_text(json("evil\u202e\x1b[2J")), "evil��[2J");
}

TEST(ValueDisplayText, OtherValuesAreCompactJson) {
  const json nested = json::parse(R"({"b":[1,2.5,5.0,"x\ny",null],"a":{"c":false},"é":"\u0007"})");
  EXPECT_EQ(display_text(nested), R"({"a":{"c":false},"b":[1,2.5,5.0,"x\ny",null],"é":"\u0007"})");
  // The same text as nlohmann's own compact dump.
  const json mixed = json::parse(
      R"([{"k":"q\"uote\\ \b\f\r\t\u001f"},[],{},-7,1e21,0.1,18446744073709551615,"日本"])");
  EXPECT_EQ(display_text(mixed), mixed.dump());
  // A bidirectional control inside an array still cannot reach the terminal.
  EXPECT_EQ(display_text(json::array({"a\u202eb"})), "[\"a�b\"]");
}

TEST(ValueDisplayText, InvalidUtf8InsideAValueNeverThrows) {
  // The parser refuses such bytes, so the values are built directly.
  qm::JsonArena arena;
  qm::JsonBuilder builder(arena);
  builder.add("k\xc0", qm::Json::from_integer(1));
  const qm::Json items[] = {arena.string("bad\xff\xfe"), builder.object()};
  EXPECT_EQ(qm::value_display_text(builder.array(items)), "[\"bad��\",{\"k�\":1}]");
  EXPECT_EQ(qm::value_display_text(arena.string("\xff")), "�");
}

TEST(ValueDisplayText, HugeValuesStopAtTheDisplayLimit) {
  const json long_string = json::array({std::string(300'000, 'a')});
  const std::string text = display_text(long_string);
  EXPECT_EQ(text, "[\"" + std::string(199'998, 'a'));
  // Four-byte characters: the writer stops early, yet every shown character is there.
  std::string smileys;
  for (int i = 0; i < 300'000; ++i) {
    smileys += "🙂";
  }
  const json wide = json::array({smileys});
  EXPECT_EQ(display_text(wide), "[\"" + smileys.substr(0, 199'998 * 4));
  json many = json::array();
  for (int i = 0; i < 150'000; ++i) {
    many.push_back(i % 10);
  }
  const std::string numbers = display_text(many);
  EXPECT_EQ(numbers.size(), 200'000u);
  EXPECT_TRUE(numbers.starts_with("[0,1,2,3"));
}

TEST(OutlineText, ArraysOfObjectsAndScalars) {
  const json runs = json::parse(R"([{"name":"a","rate_hz":10},{"name":"b"},[1,2],"x\ny"])");
  EXPECT_EQ(outline(runs),
            "•\n"
            "  name: a\n"
            "  rate hz: 10\n"
            "•\n"
            "  name: b\n"
            "• [1,2]\n"
            "• x↵y\n");
  const json members = json::parse(R"({"hosts":["alpha","beta",3,null],"empty":[],"plain":2.5})");
  EXPECT_EQ(outline(members, 1),
            "  empty: \n"
            "  hosts: alpha, beta, 3, unknown\n"
            "  plain: 2.5\n");
}

TEST(OutlineText, NestedObjectsIndentByTwoSpaces) {
  const json value = json::parse(
      R"({"outer_key":{"inner":true,"deep":{"x":1}},"items":[{"a":1},2],"grid":[[1],[2]],"z":null,"\u202e_k":"v"})");
  EXPECT_EQ(outline(value),
            "grid\n"
            "  • [1]\n"
            "  • [2]\n"
            "items\n"
            "  •\n"
            "    a: 1\n"
            "  • 2\n"
            "outer key\n"
            "  deep\n"
            "    x: 1\n"
            "  inner: true\n"
            "z: unknown\n"
            "� k: v\n");
  EXPECT_EQ(outline(json("scalar"), 2), "    scalar\n");
  EXPECT_EQ(outline(json::object()), "");
}

json nested_objects(int levels) {
  json value = 1;
  for (int i = 0; i < levels; ++i) {
    value = json{{"k", value}};
  }
  return value;
}

TEST(OutlineText, StopsPastDepthSixteen) {
  std::string expected;
  for (int depth = 0; depth <= 16; ++depth) {
    expected += std::string(static_cast<std::size_t>(depth) * 2, ' ') + "k\n";
  }
  expected += "… deeper fields available in raw view\n";
  EXPECT_EQ(outline(nested_objects(18)), expected);
  EXPECT_EQ(outline(nested_objects(100)), expected);

  // Seventeen levels end at depth 16 with a plain member: nothing is cut.
  const std::string seventeen = outline(nested_objects(17));
  EXPECT_TRUE(seventeen.ends_with(std::string(32, ' ') + "k: 1\n"));
  EXPECT_EQ(seventeen.find("deeper"), std::string::npos);

  EXPECT_EQ(outline(json(1), 17), "… deeper fields available in raw view\n");
}

TEST(NumberForms, ShortestRoundTripWithoutTrailingZero) {
  EXPECT_EQ(qm::format_shortest(5.0), "5");
  EXPECT_EQ(qm::format_shortest(2.5), "2.5");
  EXPECT_EQ(qm::format_shortest(-0.5), "-0.5");
  EXPECT_EQ(qm::format_shortest(0.1 + 0.2), "0.30000000000000004");
  EXPECT_EQ(qm::format_shortest(123456.789), "123456.789");
  EXPECT_EQ(qm::format_shortest(0.0), "0");
  EXPECT_EQ(qm::format_shortest(1e20), "100000000000000000000");
  EXPECT_EQ(qm::format_shortest(1e21), "1e+21");
  EXPECT_EQ(qm::format_shortest(1.5e300), "1.5e+300");
  EXPECT_EQ(qm::format_shortest(0.000001), "0.000001");
  EXPECT_EQ(qm::format_shortest(1.5e-7), "1.5e-7");
  EXPECT_EQ(qm::format_shortest(5e-324), "5e-324");
  EXPECT_EQ(qm::format_shortest(std::numeric_limits<double>::quiet_NaN()), "NaN");
  EXPECT_EQ(qm::format_shortest(-std::numeric_limits<double>::infinity()), "-inf");
}

TEST(NumberForms, FixedDecimalsAndJsonNumbers) {
  EXPECT_EQ(qm::format_fixed(9.96, 1), "10.0");
  EXPECT_EQ(qm::format_fixed(2, 1), "2.0");
  EXPECT_EQ(qm::format_fixed(0.25, 1), "0.2");  // the exact binary value is a tie: to even
  EXPECT_EQ(qm::format_fixed(0.35, 1), "0.3");  // 0.34999… in binary
  EXPECT_EQ(qm::format_fixed(1.23456, 3), "1.235");
  EXPECT_EQ(qm::format_fixed(7.5, 0), "8");
  const std::string huge = qm::format_fixed(1.7976931348623157e308, 1);
  EXPECT_EQ(huge.size(), 311u);
  EXPECT_TRUE(huge.ends_with(".0"));

  EXPECT_EQ(number_text(json(3)), "3");
  EXPECT_EQ(number_text(json(-4)), "-4");
  EXPECT_EQ(number_text(json(18446744073709551615u)), "18446744073709551615");
  EXPECT_EQ(number_text(json(5.0)), "5");
  EXPECT_EQ(number_text(json(12.25)), "12.25");
}

// Shortest forms found by the quick path for a few decimals are the ones the digit search gives.
TEST(NumberForms, ShortestMatchesTheShortestDigits) {
  std::vector<double> values = {0.001, 0.0015, 0.1 + 0.2, 1.0 / 3, 999999999.875, 1e9 - 0.001};
  for (int i = 1; i < 20000; ++i) {
    values.push_back(i / 8.0);
    values.push_back(i / 1000.0);
    values.push_back(std::nextafter(i / 100.0, 0.0));
  }
  for (const double magnitude : values) {
    for (const double value : {magnitude, -magnitude}) {
      std::array<char, 64> expected;
      const auto end = std::to_chars(expected.data(), expected.data() + expected.size(), value,
                                     std::chars_format::fixed)
                           .ptr;
      ASSERT_EQ(qm::format_shortest(value), std::string(expected.data(), end)) << value;
    }
  }
}

// The quick path for a few decimals must round exactly as printf does: every binary tie, the
// neighbours of each, the edges of the path and a spread of magnitudes, each sign.
TEST(NumberForms, FixedDecimalsMatchTheExactDigits) {
  std::vector<double> values = {0, 1e-300, 0.0004, 0.0005, 0.00049, 999999999.9999, 1e9, 2.5e9};
  for (int i = 0; i < 4096; ++i) {
    values.push_back(i / 16.0);  // ties at one, two and three decimals
    values.push_back(std::ldexp(static_cast<double>(i * 2654435761u % 1000003), i % 60 - 40));
  }
  const std::size_t count = values.size();
  for (std::size_t i = 0; i < count; ++i) {
    values.push_back(std::nextafter(values[i], 0.0));
    values.push_back(std::nextafter(values[i], 1e300));
  }
  for (const double magnitude : values) {
    for (const double value : {magnitude, -magnitude}) {
      for (int decimals = 0; decimals <= 4; ++decimals) {
        std::array<char, 400> expected;
        const auto end = std::to_chars(expected.data(), expected.data() + expected.size(), value,
                                       std::chars_format::fixed, decimals)
                             .ptr;
        ASSERT_EQ(qm::format_fixed(value, decimals), std::string(expected.data(), end))
            << value << " with " << decimals;
      }
    }
  }
}

}  // namespace
