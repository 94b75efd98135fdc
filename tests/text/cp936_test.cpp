#include "text/cp936.h"

#include <gtest/gtest.h>

#include <random>

#include "text/charset.h"

namespace corvane::text {
namespace {

// The case tables keep one case a line; literals are split where a hex escape ends.
// clang-format off

// "\xB0\x7C" is one character whose trail byte equals "|"; "\xD8\xAD" is the CJK "丨".
struct SplitCase {
  std::string text;
  std::string separator;
  std::vector<std::string> pieces;
};

TEST(Split, FollowsTheSeparatorRules) {
  const std::vector<SplitCase> cases = {
      {"", "|", {}},
      {"abc", "|", {"abc"}},
      {"a|b", "|", {"a", "b"}},
      {"|a", "|", {"", "a"}},
      {"a||b", "|", {"a", "", "b"}},
      {"a|", "|", {"a"}},
      {"a||", "|", {"a", ""}},
      {"|", "|", {""}},
      {"\xB0\x7C|x", "|", {"\xB0\x7C", "x"}},
      {"\xD8\xAD" "a", "|", {"\xD8\xAD" "a"}},
      {"a\r\n\r\nb", "\r\n", {"a", "", "b"}},
      {"a\r\n", "\r\n", {"a"}},
      {"a\nb\rc", "\r\n", {"a\nb\rc"}},
      {" a \r\nb", "\r\n", {" a ", "b"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Split(c.text, c.separator), c.pieces) << "text: " << c.text;
  }
}

TEST(Find, MatchesOnlyOnCharacterBoundaries) {
  // "\xC1\xAC\xD2\xC2" is 连衣; the bytes "\xAC\xD2" straddle its two characters.
  const std::string text = "\xC1\xAC\xD2\xC2" "ab";
  EXPECT_EQ(Find(text, "\xAC\xD2"), npos);
  EXPECT_EQ(Find(text, "\xD2\xC2"), 2u);
  EXPECT_EQ(Find(text, "ab"), 4u);
  EXPECT_EQ(Find(text, "b", 5), 5u);
  EXPECT_EQ(Find(text, "x"), npos);
  EXPECT_EQ(Find("", ""), npos);
  EXPECT_EQ(Find("a", ""), 0u);
  EXPECT_EQ(Find("\xB0\x7C", "|"), npos);
}

TEST(ReplaceAll, ScansFromTheStartOnBoundaries) {
  EXPECT_EQ(ReplaceAll("<b>x<b>", "<b>", ""), "x");
  EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
  EXPECT_EQ(ReplaceAll("\xB0\x7C|", "|", "-"), "\xB0\x7C-");
}

TEST(Trim, RemovesOnlyAsciiAndFullWidthSpaces) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"  a b  ", "a b"},
      {"\xA1\xA1" "a\xA1\xA1", "a"},
      {"\ta\r\n", "\ta\r\n"},
      {"   ", ""},
      {"", ""},
      // B0 A1 is one character: its trail byte and the next A1 are not a full-width space.
      {"\xB0\xA1\xA1", "\xB0\xA1\xA1"},
      {"\xB0\xA1\xA1\xA1", "\xB0\xA1"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(Trim(in), out) << "text: " << in;
}

TEST(ToInteger, ReadsTheLeadingInteger) {
  const std::vector<std::pair<std::string, long long>> cases = {
      {"3", 3},         {"  42abc", 42},   {"-2", -2},    {"+7", 7},
      {"abc", 0},       {"", 0},           {"0", 0},      {"\t\r\n 9", 9},
      {"1.5", 1},       {"- 3", 0},        {"007", 7},
      {"\xA3\xB1\xA3\xB2", 12},            // full-width 12
      {"\xA3\xAD\xA3\xB5", -5},            // full-width -5
      {"\xA1\xA1" "8", 8},                 // full-width space before the digits
      {"99999999999999999999", 9223372036854775807LL},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(ToInteger(in), out) << "text: " << in;
}

TEST(NumberText, HasNoLeadingZeros) {
  EXPECT_EQ(NumberText(0), "0");
  EXPECT_EQ(NumberText(40), "40");
  EXPECT_EQ(NumberText(-12), "-12");
}

TEST(Charset, ConvertsBothWays) {
  const std::string cp936 = "\xC1\xAC\xD2\xC2\xC8\xB9";  // 连衣裙
  const std::string utf8 = "\xE8\xBF\x9E\xE8\xA1\xA3\xE8\xA3\x99";
  EXPECT_EQ(Cp936ToUtf8(cp936), utf8);
  EXPECT_EQ(Utf8ToCp936(utf8), cp936);
  EXPECT_EQ(Cp936ToUtf8("\x80"), "\xE2\x82\xAC");  // the euro sign, as on Windows
  EXPECT_EQ(Cp936ToUtf8(""), "");
  EXPECT_EQ(Cp936ToUtf8(std::string(100000, 'a')), std::string(100000, 'a'));
}

TEST(Charset, ReplacesWhatCannotBeConverted) {
  EXPECT_EQ(Utf8ToCp936("a\xF0\x9F\x98\x80" "b"), "a?b");  // an emoji has no CP936 form
  EXPECT_EQ(Utf8ToCp936("a\xFF" "b"), "a?b");
  EXPECT_EQ(Utf8ToCp936("a\xE8\xBF"), "a??");  // truncated sequence at the end
  EXPECT_EQ(Cp936ToUtf8("a\xC1"), "a\xEF\xBF\xBD");
  EXPECT_TRUE(IsValidUtf8("abc\xE8\xBF\x9E"));
  EXPECT_FALSE(IsValidUtf8("\xC1\xAC"));
}

// clang-format on

// Only the runs of non-ASCII characters go through iconv: a whole text converts as its
// characters do one by one, also where a trail byte is ASCII ("\x81\x5B", "\xB0\x7C").
TEST(Charset, ConvertsAWholeTextAsItsCharactersOneByOne) {
  const auto byCharacters = [](const std::string& cp936) {
    std::string utf8;
    for (std::size_t pos = 0; pos < cp936.size(); pos += CharLength(cp936, pos)) {
      utf8 += Cp936ToUtf8(cp936.substr(pos, CharLength(cp936, pos)));
    }
    return utf8;
  };
  const std::vector<std::string> cases = {
      "", "plain ascii", "\xC1\xAC\xD2\xC2 dress \xC8\xB9", "\x81\x5B\xB0\x7C|[x]", "\x80 5",
  };
  for (const auto& text : cases) EXPECT_EQ(Cp936ToUtf8(text), byCharacters(text)) << text;
  std::mt19937 random(936);
  for (int round = 0; round < 20000; ++round) {
    std::string text;
    for (int c = random() % 16; c > 0; --c) {
      if (random() % 3) {
        text += static_cast<char>(0x20 + random() % 0x5F);  // mostly ASCII, as in answers
      } else {
        const unsigned trail = 0x40 + random() % 0xBE;  // 40-FE without 7F
        const std::string pair = {static_cast<char>(0x81 + random() % 0x7E),
                                  static_cast<char>(trail == 0x7F ? 0x80 : trail)};
        // Only characters that CP936 defines.
        if (Cp936ToUtf8(pair).find("\xEF\xBF\xBD") == std::string::npos) text += pair;
      }
    }
    ASSERT_EQ(Cp936ToUtf8(text), byCharacters(text)) << text;
  }
  // Invalid and cut-off sequences: one replacement character per byte that cannot start one.
  EXPECT_EQ(Cp936ToUtf8("\xFF\x81\x20\x81"), "\xEF\xBF\xBD\xEF\xBF\xBD \xEF\xBF\xBD");
}

}  // namespace
}  // namespace corvane::text
