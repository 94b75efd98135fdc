// Reading a parsed document: Parse outcomes, path reads and their empty values, lengths, keys
// and types.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "json/json_document.h"
#include "json/parsed.h"

namespace corvane::json {
namespace {

using testing::Parsed;

std::vector<std::string> Keys(const JsonDocument& document, std::string_view path = {}) {
  std::vector<std::string> keys = {"left over"};
  document.GetKeys(keys, path);
  return keys;
}

// Every query of a document without a tree, and every change to it, yields nothing.
void ExpectNoTree(JsonDocument document) {
  EXPECT_EQ(document.ToJson(), "");
  EXPECT_EQ(document.GetText("a"), "");
  EXPECT_EQ(document.GetText("[0]"), "");
  EXPECT_EQ(document.GetNumber("a"), 0);
  EXPECT_EQ(document.GetJson("a"), "");
  EXPECT_FALSE(document.Exists("a"));
  EXPECT_EQ(document.GetArrayLength(), 0);
  EXPECT_EQ(document.GetType(), 0);
  EXPECT_EQ(document.GetArrayItemText(0), "");
  EXPECT_TRUE(Keys(document).empty());
  document.SetText("a", "x");
  document.AppendToArray("x");
  document.SetRoot("x");
  document.ResetRoot(4);
  document.SetArrayItem(0, "x");
  EXPECT_EQ(document.ToJson(), "");
}

TEST(JsonDocument, NewAndReleasedDocumentsHaveNoTree) {
  ExpectNoTree(JsonDocument());
  JsonDocument released = Parsed("{\"a\":1}");
  released.ReleaseEngine();
  ExpectNoTree(released);
}

struct ParseCase {
  std::string text;
  bool result;
  std::string json;  // ToJson afterwards
  int type;          // GetType() afterwards
};

TEST(JsonDocument, ParseSetsTheRootFromJsonText) {
  const std::vector<ParseCase> cases = {
      {"", false, "", 0},  // undefined
      {" \r\n", false, "", 0},
      {"{", false, "null", 0},  // not JSON: null
      {"abc", false, "null", 0},
      {"{'a':1}", false, "null", 0},
      {"[1] x", false, "null", 0},
      {"null", false, "null", 0},
      {"[10,20]", true, "[10,20]", 5},
      {" {\"a\":1} ", true, "{\"a\":1}", 4},
      {"{\"a\":1,\"b\":2,\"a\":3}", true, "{\"a\":3,\"b\":2}", 4},
      {"5.50", true, "5.5", 2},
      {"true", true, "true", 4},
      {"1e400", true, "null", 2},  // Infinity, written as null
      // A string's content is evaluated once more.
      {"\"abc\"", false, "null", 0},
      {"\"[1,2]\"", true, "[1,2]", 5},
      {"\"\\\"x\\\"\"", true, "\"x\"", 6},
      {"\"\"", false, "", 0},
  };
  for (const auto& c : cases) {
    JsonDocument document;
    EXPECT_EQ(document.Parse(c.text), c.result) << c.text;
    EXPECT_EQ(document.ToJson(), c.json) << c.text;
    EXPECT_EQ(document.GetType(), c.type) << c.text;
  }
}

TEST(JsonDocument, ParseBoundsTheNesting) {
  JsonDocument document;
  EXPECT_TRUE(document.Parse(std::string(1000, '[') + std::string(1000, ']')));
  EXPECT_EQ(document.ToJson().size(), 2000u);
  EXPECT_FALSE(document.Parse(std::string(100000, '[') + std::string(100000, ']')));
  EXPECT_EQ(document.ToJson(), "null");
}

TEST(JsonDocument, ParseReplacesTheWholeRoot) {
  JsonDocument document = Parsed("{\"a\":1}");
  EXPECT_FALSE(document.Parse("not json"));
  EXPECT_FALSE(document.Exists("a"));
  EXPECT_TRUE(document.Parse("{\"b\":2}"));
  EXPECT_EQ(document.ToJson(), "{\"b\":2}");
}

TEST(JsonDocument, ReadsAnArrayRoot) {
  const JsonDocument document = Parsed("[10,20]");
  EXPECT_EQ(document.GetArrayLength(), 2);
  EXPECT_EQ(document.GetText("[1]"), "20");
  EXPECT_EQ(document.GetText("[1]", true), "20");
  EXPECT_EQ(document.GetText("[2]"), "");
  EXPECT_EQ(document.GetArrayItemText(1), "20");
  EXPECT_EQ(document.GetArrayItemText(2), "");
  EXPECT_EQ(document.GetArrayItemText(-1), "");
  EXPECT_EQ(document.GetNumber("length"), 2);
  EXPECT_EQ(Keys(document), (std::vector<std::string>{"0", "1"}));
  // Operations that join the root and the path with "." cannot subscript the root.
  EXPECT_EQ(document.GetNumber("[1]"), 0);
  EXPECT_FALSE(document.Exists("[1]"));
  EXPECT_EQ(document.GetArrayLength("[0]"), 0);
}

// One document holding every kind of value, read through every read operation.
class ReadFixture : public ::testing::Test {
 protected:
  const JsonDocument document = Parsed(
      "{\"s\":\"abc\",\"n\":5.50,\"i\":56,\"z\":null,\"b\":true,\"f\":false,"
      "\"o\":{\"x\":1,\"length\":\"7\"},\"a\":[1,\"two\",null,[3,4],{\"k\":1},false],\"e\":{},"
      "\"big\":123456789012345680000,\"neg\":-12,\"num\":\" 42 \",\"json\":\"[1,2]\","
      "\"inf\":[1e400,-1e400],\"cn\":\"\xC1\xAC\xD2\xC2\xC8\xB9\"}");
};

struct ReadCase {
  std::string path;
  std::string text;  // GetText
  double number;     // GetNumber
  bool exists;       // Exists
  int type;          // GetType
  std::string json;  // GetJson
};

TEST_F(ReadFixture, ReadsValuesOfEveryKind) {
  const std::vector<ReadCase> cases = {
      {"s", "abc", 0, true, 6, "\"abc\""},
      {"n", "5.5", 5.5, true, 2, "5.5"},
      {"i", "56", 56, true, 2, "56"},
      {"neg", "-12", -12, true, 2, "-12"},
      {"big", "123456789012345680000", 123456789012345680000.0, true, 2, "123456789012345680000"},
      {"num", " 42 ", 42, true, 6, "\" 42 \""},
      {"b", "true", 1, true, 4, "true"},
      {"f", "false", 0, true, 4, "false"},
      {"z", "", 0, false, 0, "null"},
      {"missing", "", 0, false, 0, ""},
      {"missing.below", "", 0, false, 0, ""},
      {"z.below", "", 0, false, 0, ""},
      {"s.below", "", 0, false, 0, ""},
      {"o", "[object Object]", 0, true, 4, "{\"x\":1,\"length\":\"7\"}"},
      {"o.x", "1", 1, true, 2, "1"},
      {"e", "[object Object]", 0, true, 4, "{}"},
      {"a", "1,two,,3,4,[object Object],false", 0, true, 5,
       "[1,\"two\",null,[3,4],{\"k\":1},false]"},
      {"a[1]", "two", 0, true, 6, "\"two\""},
      {"a[2]", "", 0, false, 0, "null"},
      {"a[3][1]", "4", 4, true, 2, "4"},
      {"a[4].k", "1", 1, true, 2, "1"},
      {"a[9]", "", 0, false, 0, ""},
      {"a[9].k", "", 0, false, 0, ""},
      {"a.length", "6", 6, true, 2, "6"},
      {"a.other", "", 0, false, 0, ""},
      {"s.length", "3", 3, true, 2, "3"},
      {"cn.length", "3", 3, true, 2, "3"},
      {"n.length", "", 0, false, 0, ""},
      {"inf[0]", "Infinity", INFINITY, true, 2, "null"},
      {"inf", "Infinity,-Infinity", 0, true, 5, "[null,null]"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(document.GetText(c.path), c.text) << c.path;
    EXPECT_EQ(document.GetNumber(c.path), c.number) << c.path;
    EXPECT_EQ(document.Exists(c.path), c.exists) << c.path;
    EXPECT_EQ(document.GetType(c.path), c.type) << c.path;
    EXPECT_EQ(document.GetJson(c.path), c.json) << c.path;
    EXPECT_EQ(document.GetText(c.path, true), c.json) << c.path;
  }
}

TEST_F(ReadFixture, EmptyPathReadsNothingButTheOptionalPathAddressesTheRoot) {
  EXPECT_EQ(document.GetText(""), "");
  EXPECT_EQ(document.GetText("", true), "");
  EXPECT_EQ(document.GetJson(""), "");
  EXPECT_FALSE(document.Exists(""));
  EXPECT_EQ(document.GetType(""), 4);
  EXPECT_EQ(Keys(document, "").size(), 15u);
  EXPECT_EQ(document.GetText("[0]"), "");  // an object has no member "0"
}

TEST_F(ReadFixture, MeasuresArraysStringsAndObjects) {
  const std::vector<std::pair<std::string, int>> cases = {
      {"", 0},                                     // an object without a length member
      {"a", 6}, {"a[3]", 2}, {"s", 3}, {"cn", 3},  // UTF-16 units, not CP936 bytes
      {"o", 7},                                    // its length member, a numeric string
      {"e", 0}, {"n", 0},    {"z", 0}, {"missing", 0}, {"missing.below", 0},
  };
  for (const auto& [path, length] : cases) {
    EXPECT_EQ(document.GetArrayLength(path), length) << path;
  }
}

TEST_F(ReadFixture, ListsKeysInOrder) {
  EXPECT_EQ(Keys(document, "o"), (std::vector<std::string>{"x", "length"}));
  EXPECT_EQ(Keys(document, "a[3]"), (std::vector<std::string>{"0", "1"}));
  EXPECT_TRUE(Keys(document, "e").empty());
  EXPECT_TRUE(Keys(document, "missing").empty());
  EXPECT_TRUE(Keys(document, "missing.below").empty());
  EXPECT_TRUE(Keys(document, "s").empty());
  EXPECT_EQ(Keys(document).front(), "s");
  EXPECT_EQ(Keys(document).back(), "cn");
}

TEST_F(ReadFixture, ReadsArrayItemsOfATarget) {
  EXPECT_EQ(document.GetArrayItemText(1, "a"), "two");
  EXPECT_EQ(document.GetArrayItemText(1, "a", true), "\"two\"");
  EXPECT_EQ(document.GetArrayItemText(3, "a"), "3,4");
  EXPECT_EQ(document.GetArrayItemText(6, "a"), "");
  EXPECT_EQ(document.GetArrayItemText(0, "missing"), "");
  EXPECT_EQ(document.GetArrayItemText(0, "s"), "");
}

TEST(JsonDocument, SubscriptsOnAnObjectNameItsMembers) {
  const JsonDocument document =
      Parsed("{\"2\":\"two\",\"-1\":\"minus\",\"123456789012345680000\":\"far\"}");
  EXPECT_EQ(document.GetText("[2]"), "two");
  EXPECT_EQ(document.GetArrayItemText(2), "two");
  EXPECT_EQ(document.GetArrayItemText(-1), "minus");
  // The script turns the subscript into a number first, and that number into the key.
  EXPECT_EQ(document.GetText("[123456789012345678901]"), "far");
}

TEST(JsonDocument, PathsOfAnyOtherFormReadNothing) {
  const JsonDocument document =
      Parsed("{\"a\":{\"b\":[\"x\",\"y\"]},\"a b\":1,\"a-b\":2,\"1a\":3}");
  ASSERT_EQ(document.GetText("a.b[1]"), "y");
  const std::vector<std::string> invalid = {
      "a..b",    ".a",  "a.",  "a.b[",    "a.b[x]",  "a.b[01]", "a.b[ 1]",  "a.b[1 ]",
      "a.b[-1]", "a b", "a-b", "1a",      "a.b[1]x", "a['b']",  "a[\"b\"]", "a.b.[1]",
      "[0",      " a",  "a ",  "a.b[1].", "a\tb",    "a/b",
  };
  for (const auto& path : invalid) {
    EXPECT_EQ(document.GetText(path), "") << path;
    EXPECT_EQ(document.GetText(path, true), "") << path;
    EXPECT_FALSE(document.Exists(path)) << path;
    EXPECT_EQ(document.GetType(path), 0) << path;
    EXPECT_EQ(document.GetObject(path).ToJson(), "") << path;
  }
}

TEST(JsonDocument, NamesMayHoldChineseCharacters) {
  // "\x81\x5B" is one CP936 character whose second byte is "["; "\xB1\xEA\xCC\xE2" is 标题.
  const JsonDocument document =
      Parsed("{\"\xB1\xEA\xCC\xE2\":{\"\x81\x5B\":\"\xC1\xAC\xD2\xC2\"},\"$_a1\":1}");
  EXPECT_EQ(document.GetText("\xB1\xEA\xCC\xE2.\x81\x5B"), "\xC1\xAC\xD2\xC2");
  EXPECT_EQ(document.GetText("$_a1"), "1");
  EXPECT_EQ(Keys(document, "\xB1\xEA\xCC\xE2"), (std::vector<std::string>{"\x81\x5B"}));
}

TEST(JsonDocument, KeysAreReturnedWhole) {
  const JsonDocument document = Parsed("{\"a,b\":1,\"\":2,\",\":3,\"c\":4}");
  EXPECT_EQ(Keys(document), (std::vector<std::string>{"a,b", "", ",", "c"}));
}

}  // namespace
}  // namespace corvane::json
