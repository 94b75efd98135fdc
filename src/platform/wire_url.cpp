#include "platform/wire_url.h"

#include "text/charset.h"
#include "text/percent_encoding.h"

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
  return text::PercentEncode(text::Cp936ToUtf8(cp936Url),
                             [](unsigned char byte) { return !NeedsEscape(byte); });
}

}  // namespace corvane::platform
