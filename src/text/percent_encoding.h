// Percent-escaping of bytes ("%" and two upper-case hexadecimal digits), the one loop that the
// query encoding, the transport's URL form and the sandbox share; each says which bytes stay.
#pragma once

#include <string>
#include <string_view>

namespace corvane::text {

// Every byte for which `keep(byte)` is false becomes "%XX".
template <typename Keep>
std::string PercentEncode(std::string_view bytes, Keep keep) {
  static constexpr char kHexDigits[] = "0123456789ABCDEF";
  std::string encoded;
  encoded.reserve(bytes.size() * 3);
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (keep(byte)) {
      encoded.push_back(c);
    } else {
      encoded.push_back('%');
      encoded.push_back(kHexDigits[byte >> 4]);
      encoded.push_back(kHexDigits[byte & 0x0F]);
    }
  }
  return encoded;
}

}  // namespace corvane::text
