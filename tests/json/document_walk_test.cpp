#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <nlohmann/json.hpp>
#include <random>
#include <string>
#include <vector>

#include "json/document_parser.hpp"
#include "json/json_text.hpp"

namespace qm {
namespace {

using Type = Json::Type;

// The value of a one-element array, so every case is parsed inside a container.
struct Case {
  std::string text;
  Type type;
  std::string compact;  // the value written back out
};

class WalkReadsValue : public ::testing::TestWithParam<Case> {};

TEST_P(WalkReadsValue, AsTheReferenceLibraryDoes) {
  const Case& c = GetParam();
  const auto document = parse_document("[" + c.text + "]");
  ASSERT_TRUE(document.has_value()) << document.error().text;
  const Json& value = (*document)->root.array()[0];
  EXPECT_EQ(value.type(), c.type);
  EXPECT_EQ(compact_json(value), c.compact);
  const auto theirs = nlohmann::json::parse("[" + c.text + "]");
  EXPECT_EQ(compact_json(value), theirs[0].dump());
}

INSTANTIATE_TEST_SUITE_P(
    Escapes, WalkReadsValue,
    ::testing::Values(Case{R"("plain")", Type::string, R"("plain")"},
                      Case{R"("")", Type::string, R"("")"},
                      Case{R"("\"\\\/")", Type::string, R"("\"\\/")"},
                      Case{R"("\b\f\n\r\t")", Type::string, R"("\b\f\n\r\t")"},
                      Case{R"("a\u0000b")", Type::string, R"("a\u0000b")"},
                      Case{R"("\u00e9\u20AC")", Type::string, "\"\xc3\xa9\xe2\x82\xac\""},
                      Case{R"("\ud83d\ude00")", Type::string, "\"\xf0\x9f\x98\x80\""},
                      Case{R"("\uDBFF\uDFFF")", Type::string, "\"\xf4\x8f\xbf\xbf\""},
                      Case{R"("x\\")", Type::string, R"("x\\")"},
                      Case{R"("\\\"0123456789abcdef0123456789")", Type::string,
                           R"("\\\"0123456789abcdef0123456789")"},
                      Case{"\"\xe6\x97\xa5\xe6\x9c\xac\"", Type::string,
                           "\"\xe6\x97\xa5\xe6\x9c\xac\""}));

INSTANTIATE_TEST_SUITE_P(
    Numbers, WalkReadsValue,
    ::testing::Values(Case{"0", Type::unsigned_integer, "0"},
                      Case{"-0", Type::unsigned_integer, "0"}, Case{"-0.0", Type::floating, "-0.0"},
                      Case{"9223372036854775807", Type::unsigned_integer, "9223372036854775807"},
                      Case{"-9223372036854775808", Type::integer, "-9223372036854775808"},
                      Case{"18446744073709551615", Type::unsigned_integer, "18446744073709551615"},
                      Case{"10000000000000000000", Type::unsigned_integer, "10000000000000000000"},
                      Case{"99999999999999999999", Type::floating, "1e+20"},
                      Case{"18446744073709551616", Type::floating, "1.8446744073709552e+19"},
                      Case{"-9223372036854775809", Type::floating, "-9.223372036854776e+18"},
                      Case{"1E2", Type::floating, "100.0"}, Case{"1e-2", Type::floating, "0.01"},
                      Case{"2.5e+3", Type::floating, "2500.0"},
                      Case{"1.7976931348623157e308", Type::floating, "1.7976931348623157e+308"},
                      Case{"5e-324", Type::floating, "5e-324"},
                      Case{"0.1000000000000000000000001", Type::floating, "0.1"},
                      Case{"true", Type::boolean, "true"}, Case{"false", Type::boolean, "false"},
                      Case{"null", Type::null, "null"}));

INSTANTIATE_TEST_SUITE_P(
    Containers, WalkReadsValue,
    ::testing::Values(Case{"[]", Type::array, "[]"}, Case{"{}", Type::object, "{}"},
                      Case{"[[],{},[[]]]", Type::array, "[[],{},[[]]]"},
                      Case{R"({"b":{"d":1,"c":[2,{"f":3,"e":4}]},"a":[]})", Type::object,
                           R"({"a":[],"b":{"c":[2,{"e":4,"f":3}],"d":1}})"},
                      Case{R"({"k":1,"k":{"x":2},"j":0,"k":[3]})", Type::object,
                           R"({"j":0,"k":[3]})"},
                      Case{R"({"a\u0062":1,"ab":2})", Type::object, R"({"ab":2})"},
                      Case{" { \"a\" : [ 1 , 2 ] } ", Type::object, R"({"a":[1,2]})"}));

// `count` objects, each the only member of the one before, around an empty array.
std::string nested_objects(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    text += "{\"k\":";
  }
  return text + "[]" + std::string(static_cast<std::size_t>(count), '}');
}

// Texts refused whole, each with the same message as the careful parser gives.
struct Refusal {
  std::string text;
  std::string message;
};

class WalkRefuses : public ::testing::TestWithParam<Refusal> {};

TEST_P(WalkRefuses, WithTheCarefulParsersMessage) {
  const Refusal& r = GetParam();
  const auto document = parse_document(r.text);
  ASSERT_FALSE(document.has_value());
  EXPECT_EQ(document.error().text, r.message);
  EXPECT_TRUE(nlohmann::json::parse(r.text, nullptr, false).is_discarded() ||
              r.message == "recursion limit exceeded");
}

INSTANTIATE_TEST_SUITE_P(
    Documents, WalkRefuses,
    ::testing::Values(
        Refusal{R"(["\ud800"])",
                "syntax error while parsing value - invalid string: surrogate U+D800..U+DBFF must "
                "be followed by U+DC00..U+DFFF; last read: '\"\\ud800\"'"},
        Refusal{R"(["\udc00"])",
                "syntax error while parsing value - invalid string: surrogate U+DC00..U+DFFF must "
                "follow U+D800..U+DBFF; last read: '\"\\udc00'"},
        Refusal{R"(["\ud800\u0041"])",
                "syntax error while parsing value - invalid string: surrogate U+D800..U+DBFF must "
                "be followed by U+DC00..U+DFFF; last read: '\"\\ud800\\u0041'"},
        Refusal{R"(["\x"])",
                "syntax error while parsing value - invalid string: forbidden character after "
                "backslash; last read: '\"\\x'"},
        Refusal{R"(["\u12G4"])",
                "syntax error while parsing value - invalid string: '\\u' must be followed by 4 "
                "hex digits; last read: '\"\\u12G'"},
        Refusal{"[\"a\xff\"]",
                "syntax error while parsing value - invalid string: ill-formed UTF-8 byte; last "
                "read: '\"a\xef\xbf\xbd'"},
        Refusal{"[\"\xed\xa0\x80\"]",
                "syntax error while parsing value - invalid string: ill-formed UTF-8 byte; last "
                "read: '\"\xef\xbf\xbd\xef\xbf\xbd'"},
        Refusal{"[01]",
                "syntax error while parsing array - unexpected number literal; expected ']'"},
        Refusal{"[1.]",
                "syntax error while parsing value - invalid number; expected digit after '.'; "
                "last read: '1.]'"},
        Refusal{"[-]",
                "syntax error while parsing value - invalid number; expected digit after '-'; "
                "last read: '-]'"},
        Refusal{"[1e]",
                "syntax error while parsing value - invalid number; expected '+', '-', or digit "
                "after exponent; last read: '1e]'"},
        Refusal{"[truex]",
                "syntax error while parsing array - invalid literal; last read: '[truex'; expected "
                "']'"},
        Refusal{"[nul]", "syntax error while parsing value - invalid literal; last read: '[nul]'"},
        Refusal{"[1,]",
                "syntax error while parsing value - unexpected ']'; expected '[', '{', or a "
                "literal"},
        Refusal{"{\"a\":1,}",
                "syntax error while parsing object key - unexpected '}'; expected string literal"},
        Refusal{"{\"a\" 1}",
                "syntax error while parsing object separator - unexpected number literal; "
                "expected ':'"},
        Refusal{"{1:2}",
                "syntax error while parsing object key - unexpected number literal; expected "
                "string literal"},
        Refusal{"[1 2]",
                "syntax error while parsing array - unexpected number literal; expected ']'"},
        Refusal{"[1]]", "syntax error while parsing value - unexpected ']'; expected end of input"},
        Refusal{"[",
                "syntax error while parsing value - unexpected end of input; expected '[', "
                "'{', or a literal"},
        Refusal{std::string(129, '[') + std::string(129, ']'), "recursion limit exceeded"},
        Refusal{nested_objects(128), "recursion limit exceeded"}));

TEST(DocumentWalk, NestsToTheLimitInArraysAndObjects) {
  const std::string objects = nested_objects(127);
  const auto document = parse_document(objects);
  ASSERT_TRUE(document.has_value());
  EXPECT_EQ(compact_json((*document)->root).size(), objects.size());
}

// Random trees of every kind of value: the walk agrees with the reference library on each.
TEST(DocumentWalk, AgreesWithTheReferenceLibraryOnRandomTrees) {
  std::mt19937 random(7);
  const std::vector<std::string> leaves = {
      "0",    "-12",  "3.25",  "1e300",   "true",         "false",
      "null", "\"\"", "\"k\"", "\"\\n\"", "\"\\u00e9x\"", "18446744073709551615",
      "[]",   "{}"};
  std::function<std::string(int)> tree = [&](int depth) -> std::string {
    const unsigned pick = random() % 4;
    if (depth == 0 || pick == 0) {
      return leaves[random() % leaves.size()];
    }
    const std::size_t size = random() % 6;
    std::string text = pick == 1 ? "[" : "{";
    for (std::size_t i = 0; i < size; ++i) {
      if (i > 0) {
        text += ",";
      }
      if (pick != 1) {
        text += "\"" + std::string(1, static_cast<char>('a' + random() % 4)) + "\":";
      }
      text += tree(depth - 1);
    }
    return text + (pick == 1 ? "]" : "}");
  };
  for (int round = 0; round < 300; ++round) {
    const std::string text = tree(6);
    const auto ours = parse_document(text);
    ASSERT_TRUE(ours.has_value()) << text;
    EXPECT_EQ(compact_json((*ours)->root), nlohmann::json::parse(text).dump()) << text;
  }
}

// Containers whose children fill more than one copying step: an array of numbers and an object
// of nested members, each large enough to be moved out of the child stack in parts.
TEST(DocumentWalk, LargeContainersKeepEveryChild) {
  std::string array = "[";
  std::string object = "{";
  for (int i = 0; i < 150'000; ++i) {
    array += std::to_string(i * 7 - 3) + ",";
    object += "\"k" + std::to_string(i) + "\":[" + std::to_string(i) + ",{\"x\":1}],";
  }
  array += "0]";
  object += "\"last\":null}";
  for (const std::string& text : {array, object, "[" + array + "," + object + "]"}) {
    const auto ours = parse_document(text);
    ASSERT_TRUE(ours.has_value());
    EXPECT_EQ(compact_json((*ours)->root), nlohmann::json::parse(text).dump());
  }
}

// A document holds its own strings and keys: they outlive the parser and the text it read, and a
// key repeated across objects is kept once.
TEST(DocumentWalk, KeepsItsStringsAndSharesRepeatedKeys) {
  DocumentPtr document;
  {
    DocumentParser parser;
    document =
        *parser.parse(R"([{"plain":"value","esc\naped":"a\tb"},{"plain":"other","esc\naped":1}])");
    const auto second = parser.parse(R"(["another","plain","value"])");
    ASSERT_TRUE(second.has_value());
  }
  const auto first = document->root.array()[0].object();
  const auto second = document->root.array()[1].object();
  ASSERT_EQ(first.size(), 2u);
  ASSERT_EQ(second.size(), 2u);
  EXPECT_EQ(first[0].key(), "esc\naped");
  EXPECT_EQ(first[0].value.string(), "a\tb");
  EXPECT_EQ(first[1].key(), "plain");
  EXPECT_EQ(first[1].value.string(), "value");
  EXPECT_EQ(second[1].value.string(), "other");
  EXPECT_EQ(first[1].name, second[1].name);
}

// Keys that the key table cannot tell apart by length and edges, or that are spelled with and
// without escapes, are still found, ordered and merged by their text.
TEST(DocumentWalk, KeysAlikeAtTheEdgesStayApart) {
  const std::string middle_a = "abcdefgh-a-12345678";
  const std::string middle_b = "abcdefgh-b-12345678";
  const std::string text = "[{\"" + middle_a + "\":1,\"" + middle_b + "\":2},{\"" + middle_b +
                           "\":3,\"" + middle_a + "\":4},{\"a\":5,\"\\u0061\":6}]";
  const auto document = parse_document(text);
  ASSERT_TRUE(document.has_value());
  EXPECT_EQ(compact_json((*document)->root), nlohmann::json::parse(text).dump());
  const Json& objects = (*document)->root;
  EXPECT_EQ(objects.array()[1].find(middle_a)->unsigned_integer(), 4u);
  EXPECT_EQ(objects.array()[1].find(middle_b)->unsigned_integer(), 3u);
  EXPECT_EQ(objects.array()[2].object().size(), 1u);
  EXPECT_EQ(objects.array()[2].find("a")->unsigned_integer(), 6u);
}

// Large texts the walk gives up on near their end, after it has given back the pages behind it:
// the careful path reads the text again to place the fault, or to load a number only it holds.
TEST(DocumentWalk, GivesUpLateInALargeText) {
  std::string head = "[\n";
  while (head.size() < (std::size_t{12} << 20)) {
    head += "  {\"name\": \"a string that fills the text\", \"rate\": 12.5},\n";
  }
  const auto lines = static_cast<std::size_t>(std::count(head.begin(), head.end(), '\n'));
  const struct {
    std::string tail;
    std::string small;  // the same fault or number in a small text
  } cases[] = {{"1,]", "[1,]"},
               {R"("\x"])", R"(["\x"])"},
               {"18446744073709551616]", "[18446744073709551616]"}};
  DocumentParser parser;
  for (const auto& c : cases) {
    const auto large = parser.parse(head + c.tail);
    const auto small = parse_document(c.small);
    ASSERT_EQ(large.has_value(), small.has_value()) << c.tail;
    if (small) {
      EXPECT_EQ(compact_json((*large)->root.array().back()),
                compact_json((*small)->root.array()[0]));
      continue;
    }
    EXPECT_EQ(large.error().text, small.error().text) << c.tail;
    EXPECT_EQ(large.error().line, small.error().line + lines) << c.tail;
    EXPECT_EQ(large.error().column, small.error().column - 1) << c.tail;
  }
}

}  // namespace
}  // namespace qm
