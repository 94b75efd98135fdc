// Writing JSON text with the escapes of the script engine's JSON.stringify.
#include "json/json_writer.h"

#include <cmath>

#include "json/number_text.h"
#include "json/script_value.h"

namespace corvane::json {

namespace {

bool IsEscapedCodePoint(char32_t c) {
  return c <= 0x1F || (c >= 0x7F && c <= 0x9F) || c == 0xAD || (c >= 0x600 && c <= 0x604) ||
         c == 0x70F || c == 0x17B4 || c == 0x17B5 || (c >= 0x200C && c <= 0x200F) ||
         (c >= 0x2028 && c <= 0x202F) || (c >= 0x2060 && c <= 0x206F) || c == 0xFEFF ||
         (c >= 0xFFF0 && c <= 0xFFFF);
}

void AppendUnicodeEscape(std::string& out, char32_t c) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += "\\u";
  for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(c >> shift) & 0xF];
}

// The code point of the UTF-8 sequence at `pos` of length 2 to 4, and its length; an invalid
// sequence (the tree holds valid UTF-8, so only defensively) is taken as one byte and copied.
std::size_t DecodeAt(std::string_view s, std::size_t pos, char32_t& c) {
  const auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  const auto cont = [&](std::size_t i) { return i < s.size() && (b(i) & 0xC0) == 0x80; };
  const unsigned char lead = b(pos);
  if (lead >= 0xC2 && lead <= 0xDF && cont(pos + 1)) {
    c = (char32_t(lead & 0x1F) << 6) | (b(pos + 1) & 0x3F);
    return 2;
  }
  if (lead >= 0xE0 && lead <= 0xEF && cont(pos + 1) && cont(pos + 2)) {
    c = (char32_t(lead & 0x0F) << 12) | (char32_t(b(pos + 1) & 0x3F) << 6) | (b(pos + 2) & 0x3F);
    return 3;
  }
  if (lead >= 0xF0 && lead <= 0xF4 && cont(pos + 1) && cont(pos + 2) && cont(pos + 3)) {
    c = 0x10000;  // outside the escaped set; the value does not matter
    return 4;
  }
  c = 0x10000;
  return 1;
}

}  // namespace

void AppendJsonString(std::string& out, std::string_view utf8) {
  out += '"';
  std::size_t i = 0;
  while (i < utf8.size()) {
    // Copy the run of bytes that need no escape in one go.
    std::size_t run = i;
    while (run < utf8.size()) {
      const unsigned char b = static_cast<unsigned char>(utf8[run]);
      if (b < 0x20 || b == '"' || b == '\\' || b >= 0x7F) break;
      ++run;
    }
    out.append(utf8, i, run - i);
    i = run;
    if (i >= utf8.size()) break;

    const unsigned char b = static_cast<unsigned char>(utf8[i]);
    switch (b) {
      case '"':
        out += "\\\"";
        ++i;
        continue;
      case '\\':
        out += "\\\\";
        ++i;
        continue;
      case '\b':
        out += "\\b";
        ++i;
        continue;
      case '\t':
        out += "\\t";
        ++i;
        continue;
      case '\n':
        out += "\\n";
        ++i;
        continue;
      case '\f':
        out += "\\f";
        ++i;
        continue;
      case '\r':
        out += "\\r";
        ++i;
        continue;
      default:
        break;
    }
    if (b < 0x80) {  // the other control characters and DEL
      AppendUnicodeEscape(out, b);
      ++i;
      continue;
    }
    char32_t c = 0;
    const std::size_t length = DecodeAt(utf8, i, c);
    if (IsEscapedCodePoint(c)) {
      AppendUnicodeEscape(out, c);
    } else {
      out.append(utf8, i, length);
    }
    i += length;
  }
  out += '"';
}

void AppendJson(std::string& out, const boost::json::value& value) {
  switch (value.kind()) {
    case boost::json::kind::null:
      out += "null";
      return;
    case boost::json::kind::bool_:
      out += value.get_bool() ? "true" : "false";
      return;
    case boost::json::kind::int64:
    case boost::json::kind::uint64:
    case boost::json::kind::double_: {
      const double number = TreeNumber(value);
      out += std::isfinite(number) ? JsNumberText(number) : "null";
      return;
    }
    case boost::json::kind::string:
      AppendJsonString(out, value.get_string());
      return;
    case boost::json::kind::array: {
      out += '[';
      bool first = true;
      for (const auto& element : value.get_array()) {
        if (!first) out += ',';
        first = false;
        AppendJson(out, element);
      }
      out += ']';
      return;
    }
    case boost::json::kind::object: {
      out += '{';
      bool first = true;
      for (const auto& member : value.get_object()) {
        if (!first) out += ',';
        first = false;
        AppendJsonString(out, member.key());
        out += ':';
        AppendJson(out, member.value());
      }
      out += '}';
      return;
    }
  }
}

}  // namespace corvane::json
