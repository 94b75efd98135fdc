// Changing a document: the setters' path rules, values stored literally or read as JSON, arrays
// and the root.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "json/json_document.h"
#include "json/parsed.h"

namespace corvane::json {
namespace {

using testing::Parsed;

// Texts that would break or change a value spliced into script source.
const std::vector<std::string> kAwkwardTexts = {
    "it's",
    "back\\slash",
    "line\nbreak\r\nend",
    "quote\"",
    "'); x=1; ('",
    "</script>",
    "\\u0041",
    "",
    "\xC1\xAC\xD2\xC2 '\\",
};

struct LiteralWrite {
  std::string name;
  std::function<void(JsonDocument&, const std::string&)> write;
  std::function<std::string(const JsonDocument&)> read;
};

TEST(JsonDocumentWrite, StoresTextsLiterally) {
  const std::vector<LiteralWrite> writes = {
      {"SetText", [](JsonDocument& d, const std::string& v) { d.SetText("v", v); },
       [](const JsonDocument& d) { return d.GetText("v"); }},
      {"SetArrayItem", [](JsonDocument& d, const std::string& v) { d.SetArrayItem(0, v); },
       [](const JsonDocument& d) { return d.GetText("[0]"); }},
      {"AppendToArray", [](JsonDocument& d, const std::string& v) { d.AppendToArray(v, "list"); },
       [](const JsonDocument& d) { return d.GetArrayItemText(0, "list"); }},
      {"SetRoot", [](JsonDocument& d, const std::string& v) { d.SetRoot(v); },
       [](const JsonDocument& d) {
         std::string wrapped = "[";  // the root itself cannot be read as text
         wrapped += d.ToJson();
         wrapped += "]";
         JsonDocument copy;
         copy.Parse(wrapped);
         return copy.GetText("[0]");
       }},
  };
  for (const auto& write : writes) {
    for (const auto& text : kAwkwardTexts) {
      JsonDocument document = Parsed("{}");
      write.write(document, text);
      EXPECT_EQ(write.read(document), text) << write.name << ": " << text;
    }
  }
}

TEST(JsonDocumentWrite, RawValuesAreReadAsJsonValues) {
  JsonDocument document = Parsed("[0,0]");
  document.SetArrayItem(0, "{\"k\":[1,true]}", true);
  document.SetArrayItem(1, "\"abc\"", true);  // a string literal, not evaluated again
  document.AppendToArray(" 5.50 ", "", true);
  EXPECT_EQ(document.ToJson(), "[{\"k\":[1,true]},\"abc\",5.5]");
  document.SetRoot("null", true);
  EXPECT_EQ(document.ToJson(), "null");
  document.SetRoot("\"[1]\"", true);
  EXPECT_EQ(document.GetType(), 6);
}

TEST(JsonDocumentWrite, InvalidRawValuesChangeNothing) {
  const std::string original = "{\"o\":{\"x\":1},\"list\":[1]}";
  const std::vector<std::string> invalid = {"",     " ",      "abc",       "'abc'", "{bad",
                                            "[1,]", "1; x=2", "undefined", "NaN",   "Infinity"};
  const std::vector<std::function<void(JsonDocument&, const std::string&)>> writes = {
      [](JsonDocument& d, const std::string& v) { d.SetRoot(v, true); },
      [](JsonDocument& d, const std::string& v) { d.SetArrayItem(0, v, true); },
      [](JsonDocument& d, const std::string& v) { d.AppendToArray(v, "list", true); },
      [](JsonDocument& d, const std::string& v) { d.AppendToArray(v, "o", true); },
      [](JsonDocument& d, const std::string& v) { d.AppendToArray(v, "", true); },
  };
  for (std::size_t i = 0; i < writes.size(); ++i) {
    for (const auto& value : invalid) {
      JsonDocument document = Parsed(original);
      writes[i](document, value);
      EXPECT_EQ(document.ToJson(), original) << "write " << i << ": " << value;
    }
  }
}

TEST(JsonDocumentWrite, SetJsonReadsTheTextAsParseDoes) {
  JsonDocument document = Parsed("{\"a\":1,\"b\":2,\"c\":3}");
  document.SetJson("b", "{\"x\":[1,2]}");
  document.SetJson("d", "\"[4]\"");  // the string's content is evaluated
  document.SetJson("c", "\"abc\"");  // whose evaluation fails
  document.SetJson("c", "{bad");
  EXPECT_EQ(document.ToJson(), "{\"a\":1,\"b\":{\"x\":[1,2]},\"c\":3,\"d\":[4]}");
  document.SetJson("a", "");  // undefined: left out, the others keep their order
  EXPECT_EQ(document.ToJson(), "{\"b\":{\"x\":[1,2]},\"c\":3,\"d\":[4]}");
  EXPECT_FALSE(document.Exists("a"));
  document.SetJson("d[0]", " ");
  EXPECT_EQ(document.GetJson("d"), "[null]");
}

TEST(JsonDocumentWrite, SetNumberStoresFiniteNumbers) {
  JsonDocument document = Parsed("{\"n\":1}");
  document.SetNumber("a", 5.5);
  document.SetNumber("b", 1e21);
  document.SetNumber("c", -0.0);
  document.SetNumber("n", INFINITY);
  document.SetNumber("n", NAN);
  EXPECT_EQ(document.ToJson(), "{\"n\":1,\"a\":5.5,\"b\":1e+21,\"c\":0}");
  EXPECT_EQ(document.GetText("a"), "5.5");
  EXPECT_TRUE(std::signbit(document.GetNumber("c")) == false);
}

struct PathWriteCase {
  std::string path;
  std::string json;  // ToJson after SetText(path, "v")
};

TEST(JsonDocumentWrite, SettersFollowTheirPathRules) {
  const std::string original = "{\"o\":{\"x\":1},\"s\":\"str\",\"z\":null,\"list\":[1]}";
  const std::vector<PathWriteCase> cases = {
      {"o.x", "{\"o\":{\"x\":\"v\"},\"s\":\"str\",\"z\":null,\"list\":[1]}"},
      {"o.y", "{\"o\":{\"x\":1,\"y\":\"v\"},\"s\":\"str\",\"z\":null,\"list\":[1]}"},
      {"o[2]", "{\"o\":{\"x\":1,\"2\":\"v\"},\"s\":\"str\",\"z\":null,\"list\":[1]}"},
      {"list[0]", "{\"o\":{\"x\":1},\"s\":\"str\",\"z\":null,\"list\":[\"v\"]}"},
      {"list[1]", "{\"o\":{\"x\":1},\"s\":\"str\",\"z\":null,\"list\":[1,\"v\"]}"},
      {"list[3]", "{\"o\":{\"x\":1},\"s\":\"str\",\"z\":null,\"list\":[1,null,null,\"v\"]}"},
      {"z", "{\"o\":{\"x\":1},\"s\":\"str\",\"z\":\"v\",\"list\":[1]}"},
      // Nothing is stored:
      {"missing.x", original},      // below an absent member
      {"z.x", original},            // below null
      {"s.x", original},            // a member of a string
      {"list.name", original},      // a named member of an array
      {"list[5000000]", original},  // a gap no caller means
      {"", original},
      {"[0]", original},
      {"o..x", original},
      {"o x", original},
  };
  for (const auto& c : cases) {
    JsonDocument document = Parsed(original);
    document.SetText(c.path, "v");
    EXPECT_EQ(document.ToJson(), c.json) << c.path;
  }
}

TEST(JsonDocumentWrite, SettersNeedAnObjectOrArrayRoot) {
  for (const std::string text : {"\"\\\"s\\\"\"", "5", "true", "null", ""}) {
    JsonDocument document;
    document.Parse(text);
    const std::string before = document.ToJson();
    document.SetText("x", "v");
    document.SetNumber("x", 1);
    document.SetJson("x", "1");
    document.SetArrayItem(0, "v");
    EXPECT_EQ(document.ToJson(), before) << text;
  }
}

TEST(JsonDocumentWrite, AppendToArrayMakesItsTargetAnArray) {
  JsonDocument document = Parsed("{\"o\":{\"x\":1},\"list\":[1],\"s\":\"str\"}");
  document.AppendToArray("a", "o");
  document.AppendToArray("b", "list");
  document.AppendToArray("c", "fresh");
  document.AppendToArray("d", "missing.below");
  document.AppendToArray("e", "s.below");
  EXPECT_EQ(document.ToJson(),
            "{\"o\":[\"a\"],\"list\":[1,\"b\"],\"s\":\"str\",\"fresh\":[\"c\"]}");
  document.AppendToArray("f");
  EXPECT_EQ(document.ToJson(), "[\"f\"]");
  document.AppendToArray("g");
  EXPECT_EQ(document.ToJson(), "[\"f\",\"g\"]");

  JsonDocument null;
  null.Parse("null");
  null.AppendToArray("1", "", true);
  EXPECT_EQ(null.ToJson(), "[1]");
}

TEST(JsonDocumentWrite, SetArrayItemWorksOnTheRoot) {
  JsonDocument array = Parsed("[1,2]");
  array.SetArrayItem(0, "x");
  array.SetArrayItem(2, "y");
  array.SetArrayItem(-1, "z");
  EXPECT_EQ(array.ToJson(), "[\"x\",2,\"y\"]");
  JsonDocument object = Parsed("{\"a\":1}");
  object.SetArrayItem(3, "v");
  object.SetArrayItem(-1, "w");
  EXPECT_EQ(object.ToJson(), "{\"a\":1,\"3\":\"v\",\"-1\":\"w\"}");
}

TEST(JsonDocumentWrite, RemoveArrayItemSplicesTheRootArray) {
  const std::vector<std::pair<int, std::string>> cases = {
      {0, "[2,3]"},  {1, "[1,3]"},  {2, "[1,2]"},  {3, "[1,2,3]"},
      {-1, "[1,2]"}, {-3, "[2,3]"}, {-9, "[2,3]"},
  };
  for (const auto& [index, json] : cases) {
    JsonDocument document = Parsed("[1,2,3]");
    document.RemoveArrayItem(index);
    EXPECT_EQ(document.ToJson(), json) << index;
  }
  JsonDocument object = Parsed("{\"0\":1}");
  object.RemoveArrayItem(0);
  EXPECT_EQ(object.ToJson(), "{\"0\":1}");
}

TEST(JsonDocumentWrite, ResetRootByType) {
  const std::vector<std::pair<int, std::string>> cases = {
      {0, "{}"}, {4, "{}"}, {5, "[]"}, {3, "[1]"}, {2, "[1]"}, {6, "[1]"}, {-1, "[1]"},
  };
  for (const auto& [type, json] : cases) {
    JsonDocument document = Parsed("[1]");
    document.ResetRoot(type);
    EXPECT_EQ(document.ToJson(), json) << type;
  }
}

TEST(JsonDocumentWrite, ResetEngineGivesAnEmptyObjectToWriteInto) {
  JsonDocument document;
  document.ResetEngine();
  EXPECT_EQ(document.ToJson(), "{}");
  document.SetText("a", "1");
  document.SetNumber("b", 2);
  document.SetJson("c", "[true]");
  EXPECT_EQ(document.ToJson(), "{\"a\":\"1\",\"b\":2,\"c\":[true]}");
}

}  // namespace
}  // namespace corvane::json
