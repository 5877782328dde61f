#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "json/document_parser.hpp"
#include "json/json_access.hpp"
#include "json/json_text.hpp"

namespace qm {
namespace {

std::string nested(std::size_t depth) {
  return std::string(depth, '[') + std::string(depth, ']');
}

// Inputs read both by the loader and by the reference library, which must agree on whether each
// is a document and, when it is, on every text and lookup.
const std::vector<std::string> inputs = {
    R"({"b":1,"a":2,"b":3})",
    R"({"z":{"y":[],"x":{}},"a":[{"k":"v","k":"w"}],"":null})",
    R"([-0, 0, 0.1, 1e308, -1e308, 5e-324, 2.5, 1E2, 1e21, 1.5e-7, 123456789012])",
    R"([18446744073709551615, 18446744073709551616, -9223372036854775808, -9223372036854775809])",
    R"([true, false, null, -1, 9223372036854775807])",
    R"(["\"\\\/\b\f\n\r\t", "\u0000\u001f", "\ud83d\ude00 é 日本", "\u00e9", ""])",
    R"({"é":1, "e":2, "z":3, "E":4})",
    "[\"a\xff\"]",
    "[\"\xed\xa0\x80\"]",
    "1e400",
    "-1e400",
    "[1,]",
    "{\"a\" 1}",
    "  \n42\t ",
    "",
    "[1] x",
    nested(128),
};

nlohmann::json reference(const std::string& text) {
  return nlohmann::json::parse(text, nullptr, false);
}

std::string reference_text(const nlohmann::json& value, int indent) {
  return value.dump(indent, ' ', false, nlohmann::json::error_handler_t::replace);
}

TEST(DocumentEngine, AgreesWithTheReferenceLibraryOnEveryInput) {
  for (const std::string& input : inputs) {
    SCOPED_TRACE(input.substr(0, 80));
    const auto ours = parse_document(input);
    const nlohmann::json theirs = reference(input);
    ASSERT_EQ(ours.has_value(), !theirs.is_discarded());
    if (!ours) {
      continue;
    }
    const Json& root = (*ours)->root;
    EXPECT_EQ(compact_json(root), reference_text(theirs, -1));
    EXPECT_EQ(pretty_json(root), reference_text(theirs, 2));
    if (theirs.is_object()) {
      for (const auto& [key, value] : theirs.items()) {
        EXPECT_EQ(compact_json(member(root, key)), reference_text(value, -1)) << key;
      }
      EXPECT_TRUE(member(root, "absent key").is_null());
    }
    // Equality with a document read from the reference's own text.
    const auto again = parse_document(reference_text(theirs, -1));
    ASSERT_TRUE(again.has_value());
    EXPECT_EQ(root, (*again)->root);
  }
}

TEST(DocumentEngine, RefusesNestingBeyondTheLimitThatTheReferenceAccepts) {
  EXPECT_TRUE(parse_document(nested(128)).has_value());
  EXPECT_EQ(parse_document(nested(129)).error().text, "recursion limit exceeded");
  EXPECT_FALSE(reference(nested(129)).is_discarded());
}

TEST(DocumentEngine, EqualityMatchesTheReferenceLibrary) {
  const std::vector<std::string> values = {"1",
                                           "1.0",
                                           "-1",
                                           "-1.0",
                                           "0",
                                           "-0",
                                           "-0.0",
                                           "\"1\"",
                                           "[1]",
                                           "[1.0]",
                                           "[1,2]",
                                           "{}",
                                           "[]",
                                           "null",
                                           "true",
                                           "false",
                                           "{\"a\":1}",
                                           "{\"a\":1.0}",
                                           "{\"a\":1,\"b\":2}",
                                           "{\"b\":2,\"a\":1}",
                                           "18446744073709551615",
                                           "-9223372036854775808",
                                           "1e2",
                                           "100"};
  for (const std::string& a : values) {
    for (const std::string& b : values) {
      EXPECT_EQ((*parse_document(a))->root == (*parse_document(b))->root,
                nlohmann::json::parse(a) == nlohmann::json::parse(b))
          << a << " vs " << b;
    }
  }
}

TEST(DocumentEngine, KeepsTheKindOfEveryNumber) {
  const auto document = parse_document(
      R"([0, 7, -7, 18446744073709551615, -9223372036854775808, 0.5, -0, 18446744073709551616])");
  ASSERT_TRUE(document.has_value());
  const auto items = (*document)->root.array();
  using Type = Json::Type;
  const std::vector<Type> kinds = {Type::unsigned_integer, Type::unsigned_integer, Type::integer,
                                   Type::unsigned_integer, Type::integer,          Type::floating,
                                   Type::unsigned_integer, Type::floating};
  ASSERT_EQ(items.size(), kinds.size());
  for (std::size_t i = 0; i < kinds.size(); ++i) {
    EXPECT_EQ(items[i].type(), kinds[i]) << i;
  }
  EXPECT_EQ(unsigned_of(items[3]), 18446744073709551615u);
  EXPECT_EQ(integer_of(items[3]), std::nullopt);
  EXPECT_EQ(integer_of(items[4]), INT64_MIN);
  EXPECT_EQ(json_double_text(-0.0), "-0.0");
}

TEST(DocumentEngine, BuiltObjectsAreSortedAndALaterKeyWins) {
  JsonArena arena;
  JsonBuilder builder(arena);
  builder.add("b", "first").add("a", Json::from_unsigned(1)).add("b", "second");
  const Json object = builder.object();
  EXPECT_EQ(compact_json(object), R"({"a":1,"b":"second"})");
  const Json copy = copy_json(object, arena);
  EXPECT_EQ(copy, object);
  EXPECT_NE(copy.object()[1].value.string().data(), object.object()[1].value.string().data());
}

TEST(DocumentEngine, PrettyTextStopsSoonAfterItsBudget) {
  std::string text = "[";
  for (int i = 0; i < 10'000; ++i) {
    text += "\"0123456789\",";
  }
  text += "1]";
  const auto document = parse_document(text);
  ASSERT_TRUE(document.has_value());
  const std::string pretty = pretty_json((*document)->root, 1'000);
  EXPECT_GE(pretty.size(), 1'000u);
  EXPECT_LT(pretty.size(), 1'100u);
  EXPECT_EQ(pretty.substr(0, 990), pretty_json((*document)->root).substr(0, 990));
}

}  // namespace
}  // namespace qm
