#include "web/encoding.h"

#include <chrono>
#include <cstdint>

#include "text/charset.h"
#include "text/percent_encoding.h"

namespace corvane::web {

namespace {

bool IsKeptUnreserved(unsigned char byte) {
  return byte == '-' || byte == '.' || (byte >= '0' && byte <= '9') ||
         (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z');
}

// Value of one digit of an escape: its place in "0123456789ABCDEF" (either case), -2 for a
// byte that is no hexadecimal digit.
int HexValue(unsigned char byte) {
  if (byte >= '0' && byte <= '9') return byte - '0';
  if (byte >= 'A' && byte <= 'F') return byte - 'A' + 10;
  if (byte >= 'a' && byte <= 'f') return byte - 'a' + 10;
  return -2;
}

}  // namespace

std::string AnsiToUtf8(std::string_view ansi) {
  return text::Cp936ToUtf8(ansi);
}

std::string Utf8ToAnsi(std::string_view utf8) {
  return text::Utf8ToCp936(utf8);
}

std::string UrlEncode(std::string_view text, bool keepUnreserved, bool asUtf8) {
  if (text.empty()) return {};
  const std::string bytes = asUtf8 ? AnsiToUtf8(text) : std::string(text);
  return text::PercentEncode(bytes, [keepUnreserved](unsigned char byte) {
    return keepUnreserved && IsKeptUnreserved(byte);
  });
}

std::string UrlDecode(std::string_view text, bool fromUtf8) {
  std::string decoded;
  decoded.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] != '%') {
      decoded.push_back(text[i]);
      ++i;
      continue;
    }
    const auto digit = [&](std::size_t pos) {
      return pos < text.size() ? HexValue(static_cast<unsigned char>(text[pos])) : 0;
    };
    const int value = (16 * digit(i + 1) + digit(i + 2)) & 0xFF;
    if (value != 0) decoded.push_back(static_cast<char>(value));
    i += 3;
  }
  return fromUtf8 ? Utf8ToAnsi(decoded) : decoded;
}

std::string TimestampText(bool secondsOnly, const platform::Clock& clock) {
  // One reading gives both the seconds and the milliseconds, so they always belong together.
  const auto sinceEpoch = clock.Now().time_since_epoch();
  const std::int64_t milliseconds =
      std::chrono::floor<std::chrono::milliseconds>(sinceEpoch).count();
  const std::int64_t seconds =
      milliseconds >= 0 ? milliseconds / 1000 : -((-milliseconds + 999) / 1000);
  const std::int64_t millisecondPart = milliseconds - seconds * 1000;
  std::string digits = std::to_string(seconds);
  digits.push_back(static_cast<char>('0' + millisecondPart / 100));
  digits.push_back(static_cast<char>('0' + millisecondPart / 10 % 10));
  digits.push_back(static_cast<char>('0' + millisecondPart % 10));
  if (secondsOnly && digits.size() > 10) digits.resize(10);
  return digits;
}

}  // namespace corvane::web
