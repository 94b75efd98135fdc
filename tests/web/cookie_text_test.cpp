#include "web/cookie_text.h"

#include <gtest/gtest.h>

namespace corvane::web {
namespace {

// "\xB0\xA1" is one CP936 character (啊) whose trail byte is the first byte of a full-width
// space; "\xA1\xA1" is the full-width space.
struct MergeCase {
  std::string oldText;
  std::string newText;
  std::string merged;
  std::string newAfterwards;
};

TEST(MergeCookies, NewValuesWinDeletedVanishRepeatsGo) {
  const std::vector<MergeCase> cases = {
      {"a=1; b=2", "b=3; c=4", "b=3; c=4; a=1", "b=3;c=4"},
      {"a=1", "a=deleted", "", "a=deleted"},
      {"a=1; a=2", "", "a=1", ""},
      {"", "x=1; x=2", "x=1; x=2", "x=1;x=2"},
      {"a=1; b=2; a=1", "", "a=1; b=2", ""},
      {"k=a b", "", "k=ab", ""},
      {"", "", "", ""},
      // Spaces of both kinds go, tabs stay; a full-width space is only one as a whole character.
      {"k=\xA1\xA1v\tw", "", "k=v\tw", ""},
      {"k=\xB0\xA1\xA1\xA1", "", "k=\xB0\xA1", ""},
      // A name is compared trimmed; the entry keeps its own text.
      {"a=1", " a =2", "a=2", "a=2"},
      // "=deleted" drops old entries of that name and old "=deleted" entries alike.
      {"a=1; b=deleted; c=3", "a=deleted", "c=3", "a=deleted"},
      {"=deleted; x=1", "", "x=1", ""},
      {"deleted", "", "deleted", ""},
      // Values are kept exactly: no unquoting or decoding.
      {"q=\"%41\"", "", "q=\"%41\"", ""},
      // An entry without "=" is a name of its own.
      {"flag; a=1", "flag", "flag; a=1", "flag"},
      // Empty Set-Cookie pairs add nothing at the end; an empty entry inside the old text
      // survives as an empty item between separators.
      {"a=1", "; ", "; a=1", ";"},
      {"a=1;; b=2", "", "a=1; ; b=2", ""},
  };
  for (const auto& c : cases) {
    std::string oldText = c.oldText;
    std::string newText = c.newText;
    const std::string returned = MergeCookies(oldText, newText);
    EXPECT_EQ(oldText, c.merged) << "old: " << c.oldText << " new: " << c.newText;
    EXPECT_EQ(returned, c.merged) << "old: " << c.oldText << " new: " << c.newText;
    EXPECT_EQ(newText, c.newAfterwards) << "old: " << c.oldText << " new: " << c.newText;
  }
}

TEST(MergeCookies, IsStableOnItsOwnResult) {
  std::string cookies = "t=1; s=a b; t=2; u=deleted";
  std::string none;
  const std::string once = MergeCookies(cookies, none);
  EXPECT_EQ(MergeCookies(cookies, none), once);
}

TEST(CookieName, IsTheTrimmedTextBeforeTheFirstEquals) {
  const std::pair<std::string, std::string> cases[] = {
      {"a=1", "a"}, {" a =1", "a"}, {"a=b=c", "a"},       {"flag", "flag"},
      {"=v", ""},   {"", ""},       {"\xA1\xA1n=1", "n"}, {"\tn=1", "\tn"},
  };
  for (const auto& [entry, name] : cases) EXPECT_EQ(CookieName(entry), name) << entry;
}

TEST(HasCookieNamed, ComparesNamesExactly) {
  const std::vector<std::string> entries = {"a=1", "B=2", "flag"};
  EXPECT_TRUE(HasCookieNamed(entries, "a"));
  EXPECT_TRUE(HasCookieNamed(entries, "flag"));
  EXPECT_FALSE(HasCookieNamed(entries, "b"));
  EXPECT_FALSE(HasCookieNamed(entries, "a=1"));
  EXPECT_FALSE(HasCookieNamed({}, ""));
}

TEST(RemoveDuplicateEntries, KeepsTheFirstOfEqualPieces) {
  const struct {
    std::string text;
    std::string separator;
    std::string result;
  } cases[] = {
      {"a; b; a; c; b", "; ", "a; b; c"},
      {"a; a=1; a", "; ", "a; a=1"},
      {"", "; ", ""},
      {"x|x|", "|", "x"},
      {"|x||y", "|", "|x|y"},
      {"A; a", "; ", "A; a"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RemoveDuplicateEntries(c.text, c.separator), c.result) << c.text;
  }
}

TEST(TextBetween, CutsBetweenTheFirstMarkers) {
  const struct {
    std::string text, start, end, result;
  } cases[] = {
      {"a=1; _tb_token_=xyz; b=2", "_tb_token_=", ";", "xyz"},
      {"a=1; _tb_token_=xyz", "_tb_token_=", ";", ""},  // the last entry has no ";" after it
      {"a=1", "missing=", ";", ""},
      {"a=1", "missing=", "", ""},
      {"k=;", "k=", ";", ""},
      {"Set-Cookie: s=1; Path=/; HttpOnly", "Set-Cookie:", ";", " s=1"},
      {"x<a>y<b>", "<", ">", "a"},
      {";k=v;", "k=", ";", "v"},  // the end marker is searched after the start marker
      // A marker is never found on the trail byte of a character.
      {"\xB0\xA1\xA1\xA1v;", "\xA1\xA1", ";", "v"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TextBetween(c.text, c.start, c.end), c.result) << c.text;
  }
}

}  // namespace
}  // namespace corvane::web
