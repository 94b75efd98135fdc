#include "json/interface_text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "text/charset.h"

namespace corvane::json {
namespace {

TEST(InterfaceText, ConvertsAsTheWholeTextConverterDoes) {
  // Two-byte characters whose second byte is ASCII ("\x81\x5B", "\xB0\x7C"), the one-byte
  // euro sign 0x80, invalid and cut-off sequences.
  const std::vector<std::string> cases = {
      "",
      "plain ascii",
      "\xC1\xAC\xD2\xC2 dress \xC8\xB9",
      "\x81\x5B\xB0\x7C|[x]",
      "\x80 5",
      "\xFF\x81\x20\x81",
      "a\x81",
  };
  for (const auto& text : cases) {
    EXPECT_EQ(ToUtf8(text), text::Cp936ToUtf8(text)) << text;
  }
  std::mt19937 random(936);
  for (int round = 0; round < 20000; ++round) {
    std::string text(random() % 24, '\0');
    for (auto& c : text) {
      // Mostly ASCII with some high bytes, as in answers.
      c = static_cast<char>(random() % 3 == 0 ? 0x80 + random() % 0x80 : 0x20 + random() % 0x60);
    }
    ASSERT_EQ(ToUtf8(text), text::Cp936ToUtf8(text)) << text;
  }
}

TEST(InterfaceText, ConvertsBackToCp936) {
  EXPECT_EQ(ToCp936("abc"), "abc");
  EXPECT_EQ(ToCp936("\xE8\xBF\x9E\xE8\xA1\xA3"), "\xC1\xAC\xD2\xC2");
  EXPECT_EQ(ToCp936("\xF0\x9F\x98\x80"), "?");
}

}  // namespace
}  // namespace corvane::json
