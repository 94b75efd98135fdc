#include "json/number_text.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <string>
#include <vector>

namespace corvane::json {
namespace {

TEST(JsNumberText, LaysOutShortestDigitsAsTheScriptDoes) {
  const std::vector<std::pair<double, std::string>> cases = {
      {5.50, "5.5"},
      {56.00, "56"},
      {0, "0"},
      {-0.0, "0"},
      {-1.5, "-1.5"},
      {100, "100"},
      {123.456, "123.456"},
      {0.1 + 0.2, "0.30000000000000004"},
      {1e20, "100000000000000000000"},
      {123456789012345680000.0, "123456789012345680000"},
      {1e21, "1e+21"},
      {1.2345e21, "1.2345e+21"},
      {1e100, "1e+100"},
      {0.5, "0.5"},
      {0.000001, "0.000001"},
      {0.000012345, "0.000012345"},
      {1e-7, "1e-7"},
      {-1e-7, "-1e-7"},
      {1.5e-7, "1.5e-7"},
      {9007199254740993.0, "9007199254740992"},
      {DBL_MAX, "1.7976931348623157e+308"},
      {5e-324, "5e-324"},
      {NAN, "NaN"},
      {INFINITY, "Infinity"},
      {-INFINITY, "-Infinity"},
  };
  for (const auto& [number, text] : cases) {
    EXPECT_EQ(JsNumberText(number), text) << "number " << number;
  }
}

TEST(NumericTextValue, ConvertsOnlyWholeDecimalNumbers) {
  const std::vector<std::pair<std::string, double>> cases = {
      {"12", 12},       {" 12 ", 12}, {"\t7\r\n", 7}, {"-3.5", -3.5},  {"+2", 2},    {"1e3", 1000},
      {"2.5E-1", 0.25}, {".5", 0.5},  {"5.", 5},      {"", 0},         {"  ", 0},    {"abc", 0},
      {"12abc", 0},     {"1 2", 0},   {"0x1A", 0},    {"Infinity", 0}, {"1e999", 0}, {"-", 0},
      {".", 0},         {"1e", 0},    {"1,000", 0},
  };
  for (const auto& [text, number] : cases) {
    EXPECT_EQ(NumericTextValue(text), number) << "text \"" << text << "\"";
  }
}

}  // namespace
}  // namespace corvane::json
