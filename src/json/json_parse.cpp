// Boost.JSON's parser driven by a handler of our own: the stock one builds the tree the same
// way, but its conversion of long or large numbers is not correctly rounded (it gives
// 123456789012345670000 for 123456789012345680000), so doubles are taken from their text.
#include "json/json_parse.h"

#include <algorithm>
#include <boost/json/basic_parser_impl.hpp>
#include <boost/json/value_stack.hpp>
#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

namespace corvane::json {

namespace {

using boost::json::error_code;
using boost::json::string_view;

// A JSON number beyond the double range reads as an infinity when it is too large and as zero
// when it is too small; the two are told apart by the power of ten of its first digit.
double OutOfRangeValue(std::string_view text) {
  const bool negative = text.starts_with('-');
  long long exponent = 0;
  const std::size_t e = text.find_first_of("eE");
  if (e != std::string_view::npos) {
    std::size_t i = e + 1;
    const bool negativeExponent = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    for (; i < text.size() && exponent < 1'000'000; ++i) exponent = exponent * 10 + (text[i] - '0');
    if (negativeExponent) exponent = -exponent;
  }
  // Digits of the mantissa before its first non-zero digit, counted from the point.
  const std::string_view mantissa =
      text.substr(negative ? 1 : 0,
                  e == std::string_view::npos ? std::string_view::npos : e - (negative ? 1 : 0));
  const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
  const std::size_t first = mantissa.find_first_not_of("0.");
  long long magnitude = exponent;
  if (first != std::string_view::npos) {
    magnitude += first < point ? static_cast<long long>(point - first)
                               : -static_cast<long long>(first - point - 1);
  }
  const double value = magnitude > 0 ? HUGE_VAL : 0.0;
  return negative ? -value : value;
}

class TreeHandler {
 public:
  static constexpr std::size_t max_object_size = boost::json::object::max_size();
  static constexpr std::size_t max_array_size = boost::json::array::max_size();
  static constexpr std::size_t max_key_size = boost::json::string::max_size();
  static constexpr std::size_t max_string_size = boost::json::string::max_size();

  TreeHandler(unsigned char* buffer, std::size_t size)
      : stack(boost::json::storage_ptr(), buffer, size) {}

  bool on_document_begin(error_code&) { return true; }
  bool on_document_end(error_code&) { return true; }
  bool on_object_begin(error_code&) { return true; }
  bool on_object_end(std::size_t n, error_code&) {
    stack.push_object(n);
    return true;
  }
  bool on_array_begin(error_code&) { return true; }
  bool on_array_end(std::size_t n, error_code&) {
    stack.push_array(n);
    return true;
  }
  bool on_key_part(string_view s, std::size_t, error_code&) {
    stack.push_chars(s);
    return true;
  }
  bool on_key(string_view s, std::size_t, error_code&) {
    stack.push_key(s);
    return true;
  }
  bool on_string_part(string_view s, std::size_t, error_code&) {
    stack.push_chars(s);
    return true;
  }
  bool on_string(string_view s, std::size_t, error_code&) {
    stack.push_string(s);
    return true;
  }
  bool on_number_part(string_view s, error_code&) {
    number_.append(s.data(), s.size());
    return true;
  }
  bool on_int64(std::int64_t i, string_view s, error_code&) {
    const bool negativeZero = i == 0 && (number_.empty() ? s.starts_with('-') : number_[0] == '-');
    number_.clear();
    if (negativeZero) {
      stack.push_double(-0.0);
    } else {
      stack.push_int64(i);
    }
    return true;
  }
  bool on_uint64(std::uint64_t u, string_view, error_code&) {
    number_.clear();
    stack.push_uint64(u);
    return true;
  }
  bool on_double(double d, string_view s, error_code&) {
    std::string_view text(s.data(), s.size());
    if (!number_.empty()) {
      number_.append(s.data(), s.size());
      text = number_;
    }
    double precise = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), precise);
    if (result.ec == std::errc::result_out_of_range) {
      precise = OutOfRangeValue(text);
    } else if (result.ec != std::errc()) {
      precise = d;  // cannot happen for a JSON number; keep the parser's reading
    }
    stack.push_double(precise);
    number_.clear();
    return true;
  }
  bool on_bool(bool b, error_code&) {
    stack.push_bool(b);
    return true;
  }
  bool on_null(error_code&) {
    stack.push_null();
    return true;
  }
  bool on_comment_part(string_view, error_code&) { return true; }
  bool on_comment(string_view, error_code&) { return true; }

  boost::json::value_stack stack;

 private:
  std::string number_;  // the parts of a number split across input buffers
};

}  // namespace

std::optional<boost::json::value> ParseJson(std::string_view utf8,
                                            boost::json::storage_ptr storage) {
  boost::json::parse_options options;
  options.max_depth = kMaxJsonDepth;
  unsigned char buffer[BOOST_JSON_STACK_BUFFER_SIZE];
  boost::json::basic_parser<TreeHandler> parser(options, buffer, sizeof buffer);
  parser.handler().stack.reset(std::move(storage));
  error_code error;
  const std::size_t used = parser.write_some(false, utf8.data(), utf8.size(), error);
  if (error || used != utf8.size() || !parser.done()) return std::nullopt;
  return parser.handler().stack.release();
}

}  // namespace corvane::json
