#include "platform/wire_url.h"

#include "text/charset.h"

namespace corvane::platform {

namespace {

bool NeedsEscape(unsigned char byte) {
  switch (byte) {
    case '"':
    case '<':
    case '>':
    case '\\':
    case '^':
    case '`':
    case '{':
    case '|':
    case '}':
      return true;
    default:
      return byte <= 0x20 || byte >= 0x7F;
  }
}

}  // namespace

std::string WireUrl(std::string_view cp936Url) {
  static constexpr char kHexDigits[] = "0123456789ABCDEF";
  const std::string utf8 = text::Cp936ToUtf8(cp936Url);
  std::string wire;
  wire.reserve(utf8.size());
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if (NeedsEscape(byte)) {
      wire.push_back('%');
      wire.push_back(kHexDigits[byte >> 4]);
      wire.push_back(kHexDigits[byte & 0x0F]);
    } else {
      wire.push_back(c);
    }
  }
  return wire;
}

}  // namespace corvane::platform
