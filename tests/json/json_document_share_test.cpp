// Copies share their tree; sub-documents behave as copies made through JSON text, whichever
// side changes first.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "json/json_document.h"
#include "json/parsed.h"

namespace corvane::json {
namespace {

using testing::Parsed;

TEST(JsonDocumentCopy, SharesChangesUntilEitherIsParsedAgain) {
  JsonDocument first = Parsed("{}");
  JsonDocument second = first;
  second.SetText("x", "1");
  EXPECT_EQ(first.GetText("x"), "1");
  first.AppendToArray("v", "list");
  EXPECT_EQ(second.GetJson("list"), "[\"v\"]");

  first.Parse("{\"z\":1}");
  EXPECT_EQ(second.GetText("z"), "");
  second.SetText("y", "2");
  EXPECT_FALSE(first.Exists("y"));
  EXPECT_EQ(second.ToJson(), "{\"x\":\"1\",\"list\":[\"v\"],\"y\":\"2\"}");
}

TEST(JsonDocumentCopy, ResetAndReleaseAffectOnlyOneCopy) {
  JsonDocument first = Parsed("{\"a\":1}");
  JsonDocument second = first;
  first.ResetEngine();
  EXPECT_EQ(first.ToJson(), "{}");
  EXPECT_EQ(second.ToJson(), "{\"a\":1}");
  JsonDocument third = second;
  second.ReleaseEngine();
  EXPECT_EQ(second.ToJson(), "");
  third.SetText("b", "2");
  EXPECT_EQ(third.ToJson(), "{\"a\":1,\"b\":\"2\"}");
}

class AnswerFixture : public ::testing::Test {
 protected:
  JsonDocument answer = Parsed(
      "{\"data\":{\"pageList\":[{\"title\":\"a\",\"zkPrice\":5.50},{\"title\":\"b\"}],"
      "\"paginator\":{\"pages\":3}}}");
};

TEST_F(AnswerFixture, SubDocumentsAreIndependentOfTheirParent) {
  JsonDocument data = answer.GetObject("data");
  JsonDocument item = data.GetObject("pageList").GetArrayItem(0);
  ASSERT_EQ(item.GetText("title"), "a");
  ASSERT_EQ(item.GetText("zkPrice"), "5.5");

  answer.SetText("data.pageList[0].title", "parent");
  answer.SetText("data.added", "parent");
  EXPECT_EQ(item.GetText("title"), "a");
  EXPECT_FALSE(data.Exists("added"));

  item.SetText("title", "item");
  data.SetText("pageList[1].title", "data");
  EXPECT_EQ(answer.GetText("data.pageList[0].title"), "parent");
  EXPECT_EQ(answer.GetText("data.pageList[1].title"), "b");
  EXPECT_EQ(data.GetText("pageList[0].title"), "a");
  EXPECT_EQ(item.ToJson(), "{\"title\":\"item\",\"zkPrice\":5.5}");
}

TEST_F(AnswerFixture, SubDocumentChangedFirstLeavesItsParentAlone) {
  JsonDocument data = answer.GetObject("data");
  data.AppendToArray("{\"title\":\"c\"}", "pageList", true);
  data.SetNumber("paginator.pages", 9);
  EXPECT_EQ(answer.GetArrayLength("data.pageList"), 2);
  EXPECT_EQ(answer.GetNumber("data.paginator.pages"), 3);
  EXPECT_EQ(data.GetArrayLength("pageList"), 3);
}

TEST_F(AnswerFixture, CopiesOfASubDocumentShareItsChanges) {
  JsonDocument item = answer.GetArrayItem(1, "data.pageList");
  JsonDocument copy = item;
  item.SetText("title", "changed");
  EXPECT_EQ(copy.GetText("title"), "changed");
  EXPECT_EQ(answer.GetText("data.pageList[1].title"), "b");
}

TEST_F(AnswerFixture, ReadingOutsideTheAnswerGivesEmptyDocuments) {
  const JsonDocument missing = answer.GetObject("data.missing");
  EXPECT_EQ(missing.ToJson(), "");
  EXPECT_EQ(missing.GetArrayLength(), 0);
  EXPECT_EQ(missing.GetText("title"), "");
  EXPECT_EQ(missing.GetObject("pageList").GetArrayItem(0).GetText("title"), "");
  EXPECT_EQ(answer.GetArrayItem(5, "data.pageList").ToJson(), "");
  EXPECT_EQ(answer.GetArrayItem(0, "data.missing").ToJson(), "");
  EXPECT_EQ(JsonDocument().GetObject("data").ToJson(), "");
}

TEST_F(AnswerFixture, AnEmptySubDocumentCanStillBeWritten) {
  // Unlike a new document, a sub-document has a tree of its own, with an undefined root.
  JsonDocument missing = answer.GetObject("");
  missing.AppendToArray("x");
  EXPECT_EQ(missing.ToJson(), "[\"x\"]");
  JsonDocument fresh;
  fresh.AppendToArray("x");
  EXPECT_EQ(fresh.ToJson(), "");
}

// What a caller can see of a document.
std::vector<std::string> Observe(const JsonDocument& document) {
  std::vector<std::string> keys;
  document.GetKeys(keys);
  std::string joined;
  for (const auto& key : keys) joined += key + "|";
  return {document.ToJson(),
          std::to_string(document.GetType()),
          std::to_string(document.GetArrayLength()),
          joined,
          document.GetText("[0]"),
          document.GetArrayItemText(0),
          std::to_string(document.GetType("x")),
          document.GetText("x"),
          std::to_string(document.GetNumber("x")),
          std::to_string(document.Exists("x")),
          document.GetJson("x"),
          document.GetArrayItem(0).ToJson(),
          document.GetArrayItem(0).GetText("[0]"),
          std::to_string(document.GetArrayItem(0).GetType())};
}

TEST(JsonDocumentSubDocument, ReadsAsTheSerialisedAndParsedValue) {
  const JsonDocument document = Parsed(
      "{\"o\":{\"x\":1.5,\"y\":[1]},\"a\":[[2,3],\"s\",null],\"s\":\"abc\",\"js\":\"[4,5]\","
      "\"jo\":\"{\\\"x\\\":7}\",\"jq\":\"\\\"q\\\"\",\"blank\":\" \",\"n\":-0.0,\"b\":false,"
      "\"z\":null,\"inf\":[1e400,{\"x\":-1e400}],\"top\":1e400,\"e\":[],\"len\":[1,2,3]}");
  const std::vector<std::string> paths = {
      "o", "a", "a[0]", "a[1]", "a[2]",   "a[9]", "s", "js",         "jo",      "jq",  "blank",
      "n", "b", "z",    "inf",  "inf[1]", "top",  "e", "len.length", "missing", "[0]", ""};
  for (const auto& path : paths) {
    EXPECT_EQ(Observe(document.GetObject(path)), Observe(document.GetObjectBySerialising(path)))
        << path;
  }
  for (int index = -1; index <= 3; ++index) {
    EXPECT_EQ(Observe(document.GetArrayItem(index, "a")),
              Observe(document.GetArrayItemBySerialising(index, "a")))
        << index;
    EXPECT_EQ(Observe(document.GetArrayItem(index, "inf")),
              Observe(document.GetArrayItemBySerialising(index, "inf")))
        << index;
  }
}

TEST(JsonDocumentSubDocument, StringsAreReadThroughGetText) {
  const JsonDocument document = Parsed("{\"s\":\"abc\",\"js\":\"[4,5]\"}");
  EXPECT_EQ(document.GetObject("s").ToJson(), "null");
  EXPECT_EQ(document.GetObject("s").GetType(), 0);
  EXPECT_EQ(document.GetText("s"), "abc");
  EXPECT_EQ(document.GetObject("js").GetArrayLength(), 2);
}

TEST(JsonDocumentSubDocument, NumbersThatCameThroughJsonTextStayAsTheyRead) {
  JsonDocument document = Parsed("{\"inf\":[1e400],\"keep\":1}");
  JsonDocument sub = document.GetObject("inf");
  EXPECT_EQ(document.GetArrayItemText(0, "inf"), "Infinity");
  EXPECT_EQ(sub.GetArrayItemText(0), "");
  EXPECT_EQ(sub.GetArrayItem(0).GetType(), 0);
  // Changing the sub-document keeps what it reads.
  sub.AppendToArray("2", "", true);
  EXPECT_EQ(sub.ToJson(), "[null,2]");
  EXPECT_EQ(sub.GetArrayItemText(0), "");
  EXPECT_EQ(document.GetArrayItemText(0, "inf"), "Infinity");
}

TEST(JsonDocumentSubDocument, OutlivesItsParentAndBecomesAnOrdinaryDocument) {
  JsonDocument sub;
  {
    const JsonDocument parent = Parsed("{\"a\":{\"x\":[1e400]}}");
    sub = parent.GetObject("a");
  }
  EXPECT_EQ(sub.GetJson("x"), "[null]");
  sub.SetJson("y", "1e400");  // a value of its own, no longer one that came through JSON text
  EXPECT_EQ(sub.GetText("y"), "Infinity");
  EXPECT_EQ(sub.GetText("x"), "");
}

}  // namespace
}  // namespace corvane::json
