// The JSON text a document writes (escapes, numbers) and CP936 at its interface.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "json/json_document.h"

namespace corvane::json {
namespace {

// 连衣裙 in CP936 and in UTF-8.
constexpr char kDressCp936[] = "\xC1\xAC\xD2\xC2\xC8\xB9";
constexpr char kDressUtf8Escaped[] = "\\u8fde\\u8863\\u88d9";

TEST(JsonDocumentText, EscapesAsTheScriptsStringifyDoes) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      // JSON string content read -> written
      {"\\\"\\\\\\/", "\\\"\\\\/"},
      {"\\b\\t\\n\\f\\r", "\\b\\t\\n\\f\\r"},
      {"\\u0000\\u0001\\u000b\\u001F", "\\u0000\\u0001\\u000b\\u001f"},
      {"\\u007F\\u0080\\u0085\\u009f", "\\u007f\\u0080\\u0085\\u009f"},
      {"\\u00AD\\u0600\\u0604\\u070f\\u17B4\\u17b5", "\\u00ad\\u0600\\u0604\\u070f\\u17b4\\u17b5"},
      {"\\u200c\\u200F\\u2028\\u2029\\u202f", "\\u200c\\u200f\\u2028\\u2029\\u202f"},
      {"\\u2060\\u206F\\uFEFF\\uFFF0\\uffff", "\\u2060\\u206f\\ufeff\\ufff0\\uffff"},
      // Neighbours of the escaped ranges are written as characters (here in CP936).
      {"\\u4e2d\\u2030 ~", "\xD6\xD0\xA1\xEB ~"},
      {"\\u0605\\u200b", "??"},  // not escaped, and not in CP936
      {"'<>&", "'<>&"},
  };
  for (const auto& [input, output] : cases) {
    JsonDocument document;
    ASSERT_TRUE(document.Parse("{\"k" + input + "\":\"" + input + "\"}")) << input;
    EXPECT_EQ(document.ToJson(), "{\"k" + output + "\":\"" + output + "\"}") << input;
  }
}

TEST(JsonDocumentText, WritesCompactJsonWithScriptNumbers) {
  JsonDocument document;
  ASSERT_TRUE(document.Parse(
      " { \"a\" : [ 1 , 2.50 , -0.0 , 1E21 , 1e-7 , 123456789012345678901 , 1e400 ] ,\n"
      " \"b\" : { } , \"c\" : [ ] , \"d\" : true , \"e\" : null } "));
  EXPECT_EQ(document.ToJson(),
            "{\"a\":[1,2.5,0,1e+21,1e-7,123456789012345680000,null],\"b\":{},\"c\":[],"
            "\"d\":true,\"e\":null}");
  EXPECT_EQ(document.GetJson("a"), "[1,2.5,0,1e+21,1e-7,123456789012345680000,null]");
  EXPECT_EQ(document.GetArrayItemText(1, "a"), "2.5");
  EXPECT_EQ(document.GetArrayItemText(6, "a"), "Infinity");
}

TEST(JsonDocumentText, ReadsNumbersAsTheNearestDouble) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"123456789012345680000", "123456789012345680000"},
      {"123456789012345678901234567890", "1.2345678901234568e+29"},
      {"9007199254740993", "9007199254740992"},
      {"18446744073709551616", "18446744073709552000"},
      {"1e23", "1e+23"},
      {"0.1", "0.1"},
      {"0.30000000000000004", "0.30000000000000004"},
      {"1.0000000000000002", "1.0000000000000002"},
      {"2.2250738585072011e-308", "2.225073858507201e-308"},
      {"1.7976931348623158e308", "1.7976931348623157e+308"},
      {"1.7976931348623159e308", "Infinity"},
      {"-1e400", "-Infinity"},
      {"1" + std::string(400, '0') + "e-50", "Infinity"},  // too large, with a negative exponent
      {"-0." + std::string(350, '0') + "1e10", "0"},       // too small, with a positive one
      {"0.0000000000000000000000000000001e320", "1e+289"},
      {"1e-400", "0"},
      {"-0", "0"},
      {"4.35", "4.35"},
  };
  for (const auto& [json, text] : cases) {
    JsonDocument document;
    ASSERT_TRUE(document.Parse("[" + json + "]")) << json;
    EXPECT_EQ(document.GetText("[0]"), text) << json;
  }
}

TEST(JsonDocumentText, ChineseTitlesRoundTripInCp936) {
  JsonDocument document;
  ASSERT_TRUE(document.Parse(std::string("{\"title\":\"") + kDressCp936 + " 2024\"}"));
  EXPECT_EQ(document.GetText("title"), std::string(kDressCp936) + " 2024");
  EXPECT_EQ(document.GetJson("title"), std::string("\"") + kDressCp936 + " 2024\"");
  EXPECT_EQ(document.GetArrayLength("title"), 8);

  // \u escapes in the answer arrive as the same characters.
  JsonDocument escaped;
  ASSERT_TRUE(escaped.Parse(std::string("{\"title\":\"") + kDressUtf8Escaped + "\"}"));
  EXPECT_EQ(escaped.GetText("title"), kDressCp936);

  JsonDocument written;
  written.ResetEngine();
  written.SetText(kDressCp936, kDressCp936);
  EXPECT_EQ(written.ToJson(), std::string("{\"") + kDressCp936 + "\":\"" + kDressCp936 + "\"}");
  JsonDocument reread;
  ASSERT_TRUE(reread.Parse(written.ToJson()));
  EXPECT_EQ(reread.GetText(kDressCp936), kDressCp936);
  EXPECT_EQ(reread.GetObject(kDressCp936).ToJson(), "null");  // a string of letters
}

TEST(JsonDocumentText, CharactersOutsideCp936ReadAsQuestionMarks) {
  JsonDocument document;
  ASSERT_TRUE(document.Parse("{\"s\":\"a\\ud83d\\ude00b\"}"));  // a character beyond the BMP
  EXPECT_EQ(document.GetText("s"), "a?b");
  EXPECT_EQ(document.GetArrayLength("s"), 4);  // a surrogate pair counts two
  EXPECT_EQ(document.ToJson(), "{\"s\":\"a?b\"}");
}

}  // namespace
}  // namespace corvane::json
