// The JavaScript number-to-text layout over std::to_chars's shortest round-trip digits, and the
// numeric-string conversion.
#include "json/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <system_error>

namespace corvane::json {

std::string JsNumberText(double number) {
  if (std::isnan(number)) return "NaN";
  if (std::isinf(number)) return number > 0 ? "Infinity" : "-Infinity";
  if (number == 0) return "0";  // both zeros

  // Shortest round-trip digits in the form d[.ddd]e±x; the significand has no trailing zeros.
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(number),
                                    std::chars_format::scientific);
  const std::string_view scientific(buffer, result.ptr - buffer);
  const std::size_t e = scientific.find('e');
  std::string digits(1, scientific[0]);
  if (e > 1) digits.append(scientific.substr(2, e - 2));
  int exponent = 0;
  const char* exponentBegin = scientific.data() + e + 1;
  if (*exponentBegin == '+') ++exponentBegin;
  std::from_chars(exponentBegin, scientific.data() + scientific.size(), exponent);

  // value = 0.digits * 10^n, with k digits (the names of the ECMAScript algorithm).
  const int k = static_cast<int>(digits.size());
  const int n = exponent + 1;
  std::string text = number < 0 ? "-" : "";
  if (k <= n && n <= 21) {
    text += digits;
    text.append(n - k, '0');
  } else if (0 < n && n <= 21) {
    text.append(digits, 0, n);
    text += '.';
    text.append(digits, n);
  } else if (-6 < n && n <= 0) {
    text += "0.";
    text.append(-n, '0');
    text += digits;
  } else {
    text += digits[0];
    if (k > 1) {
      text += '.';
      text.append(digits, 1);
    }
    text += n - 1 < 0 ? "e-" : "e+";
    text += std::to_string(std::abs(n - 1));
  }
  return text;
}

namespace {

bool IsAsciiSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// True when `text` is exactly: [sign] digits [. digits] [e [sign] digits], with at least one
// digit before or after the point.
bool IsDecimalNumber(std::string_view text) {
  std::size_t i = 0;
  const auto digits = [&] {
    const std::size_t start = i;
    while (i < text.size() && IsDigit(text[i])) ++i;
    return i - start;
  };
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t mantissa = digits();
  if (i < text.size() && text[i] == '.') {
    ++i;
    mantissa += digits();
  }
  if (mantissa == 0) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    if (digits() == 0) return false;
  }
  return i == text.size();
}

}  // namespace

double NumericTextValue(std::string_view text) {
  while (!text.empty() && IsAsciiSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsAsciiSpace(text.back())) text.remove_suffix(1);
  if (!IsDecimalNumber(text)) return 0;
  // from_chars takes no "+" sign and no point without digits before it ("-.5" reads fine).
  bool negative = false;
  if (text.front() == '+' || text.front() == '-') {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  double value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec != std::errc()) return 0;
  return negative ? -value : value;
}

}  // namespace corvane::json
