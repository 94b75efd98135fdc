// Reading member-expression paths.
#include "json/json_path.h"

#include <charconv>
#include <cmath>
#include <system_error>

#include "json/number_text.h"

namespace corvane::json {

namespace {

bool IsNameStart(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '$' || c >= 0x80;
}
bool IsNamePart(unsigned char c) {
  return IsNameStart(c) || (c >= '0' && c <= '9');
}

}  // namespace

std::optional<Path> ParsePath(std::string_view utf8, bool mayStartWithSubscript) {
  if (utf8.empty()) return std::nullopt;
  Path path;
  std::size_t i = 0;
  const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(utf8[at]); };
  const auto readName = [&]() -> bool {
    if (i >= utf8.size() || !IsNameStart(byte(i))) return false;
    const std::size_t start = i;
    while (i < utf8.size() && IsNamePart(byte(i))) ++i;
    path.push_back({false, std::string(utf8.substr(start, i - start)), 0});
    return true;
  };
  const auto readSubscript = [&]() -> bool {
    ++i;  // "["
    const std::size_t start = i;
    while (i < utf8.size() && utf8[i] >= '0' && utf8[i] <= '9') ++i;
    const std::string_view digits = utf8.substr(start, i - start);
    if (digits.empty() || (digits.size() > 1 && digits[0] == '0')) return false;
    if (i >= utf8.size() || utf8[i] != ']') return false;
    ++i;
    PathStep step{true, {}, 0};
    const auto parsed = std::from_chars(digits.data(), digits.data() + digits.size(), step.index);
    if (parsed.ec == std::errc::result_out_of_range)
      step.index = HUGE_VAL;  // as the script reads it
    step.key = JsNumberText(step.index);
    path.push_back(std::move(step));
    return true;
  };

  if (utf8[0] == '[') {
    if (!mayStartWithSubscript || !readSubscript()) return std::nullopt;
  } else if (!readName()) {
    return std::nullopt;
  }
  while (i < utf8.size()) {
    if (utf8[i] == '.') {
      ++i;
      if (!readName()) return std::nullopt;
    } else if (utf8[i] == '[') {
      if (!readSubscript()) return std::nullopt;
    } else {
      return std::nullopt;
    }
  }
  return path;
}

}  // namespace corvane::json
