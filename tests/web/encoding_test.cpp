#include "web/encoding.h"

#include <gtest/gtest.h>

#include <vector>

namespace corvane::web {
namespace {

using std::chrono::milliseconds;
using std::chrono::system_clock;

const std::string kDressCp936 = Utf8ToAnsi("连衣裙");

TEST(AnsiUtf8, ConvertBothWays) {
  EXPECT_EQ(AnsiToUtf8(kDressCp936), "连衣裙");
  EXPECT_EQ(kDressCp936, "\xC1\xAC\xD2\xC2\xC8\xB9");
  EXPECT_EQ(Utf8ToAnsi("a€b"),
            "a\x80"
            "b");
  EXPECT_EQ(Utf8ToAnsi("\xF0\x9F\x98\x80"), "?") << "a character CP936 lacks";
  EXPECT_EQ(AnsiToUtf8(""), "");
}

TEST(UrlEncode, EncodesByTheOptions) {
  const struct {
    std::string text;
    bool keepUnreserved;
    bool asUtf8;
    std::string encoded;
  } cases[] = {
      {kDressCp936, true, true, "%E8%BF%9E%E8%A1%A3%E8%A3%99"},
      {kDressCp936, true, false, "%C1%AC%D2%C2%C8%B9"},
      {"a-b.c_d~e f/g", true, true, "a-b.c%5Fd%7Ee%20f%2Fg"},
      {"aZ09*+", true, false, "aZ09%2A%2B"},
      {"aZ0", false, false, "%61%5A%30"},
      {"\n", false, true, "%0A"},
      {"", true, true, ""},
      {"", false, false, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(UrlEncode(c.text, c.keepUnreserved, c.asUtf8), c.encoded)
        << c.text << " keep=" << c.keepUnreserved << " utf8=" << c.asUtf8;
  }
  EXPECT_EQ(UrlEncode("ab"), "%61%62") << "both options are off unless given";
}

TEST(UrlDecode, DecodesEscapesByTheirDigitValues) {
  const std::pair<std::string, std::string> cases[] = {
      {"%41%62", "Ab"},
      {"%e4", "\xE4"},
      {"100%", "100"},    // both digits missing: 0, and a zero byte is dropped
      {"x%2", "x "},      // a missing second digit counts 0
      {"%zz!", "\xDE!"},  // 16 * -2 - 2 = -34: its low eight bits
      {"%4z", "\x3E"},    // 16 * 4 - 2
      {"%z", "\xE0"},     // 16 * -2 + 0
      {"%00a", "a"},      // an escaped zero byte is dropped too
      {"a+b", "a+b"},
      {"%%41",
       "\xE4"
       "1"},  // 16 * -2 + 4: the escape takes the next two bytes whatever they are
      {"", ""},
  };
  for (const auto& [text, decoded] : cases) EXPECT_EQ(UrlDecode(text), decoded) << text;
}

TEST(UrlDecode, FromUtf8GivesCp936Text) {
  EXPECT_EQ(UrlDecode("%E8%BF%9E%E8%A1%A3%E8%A3%99", true), kDressCp936);
  EXPECT_EQ(UrlDecode("%E8%BF%9E", false), "\xE8\xBF\x9E");
}

// A clock that gives a new moment at every reading, so that two readings would not agree.
class SteppingClock final : public platform::Clock {
 public:
  explicit SteppingClock(std::vector<system_clock::time_point> moments)
      : moments_(std::move(moments)) {}
  system_clock::time_point Now() const override { return moments_.at(readings_++); }
  int readings() const { return readings_; }

 private:
  std::vector<system_clock::time_point> moments_;
  mutable int readings_ = 0;
};

// 2014-01-01 12:00:00.007 in UTC+8 is 04:00:00.007 UTC.
const system_clock::time_point kNoonUtc8 =
    system_clock::time_point(std::chrono::seconds(1388548800)) + milliseconds(7);

TEST(TimestampText, IsTheUnixTimeInMillisecondsOfOneReading) {
  const struct {
    system_clock::time_point moment;
    bool secondsOnly;
    std::string text;
  } cases[] = {
      {kNoonUtc8, false, "1388548800007"},
      {kNoonUtc8, true, "1388548800"},
      {kNoonUtc8 + milliseconds(993), false, "1388548801000"},
      {system_clock::time_point(std::chrono::seconds(1000000000)), false, "1000000000000"},
  };
  for (const auto& c : cases) {
    // A second reading, half a second and a second later, would mix two moments.
    SteppingClock clock({c.moment, c.moment + milliseconds(1500)});
    EXPECT_EQ(TimestampText(c.secondsOnly, clock), c.text);
    EXPECT_EQ(clock.readings(), 1);
  }
}

TEST(TimestampText, FollowsTheSystemClock) {
  const auto before =
      std::chrono::duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
  const std::string text = TimestampText();
  const auto after =
      std::chrono::duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
  ASSERT_EQ(text.size(), 13u);
  EXPECT_GE(std::stoll(text), before);
  EXPECT_LE(std::stoll(text), after);
  EXPECT_EQ(TimestampText(true).size(), 10u);
}

}  // namespace
}  // namespace corvane::web
