// CP936 <-> UTF-8 for the document, on the text module's converter.
#include "json/interface_text.h"

#include <algorithm>

#include "text/charset.h"

namespace corvane::json {

std::string ToUtf8(std::string_view cp936) {
  const auto ascii = [&](std::size_t at) { return static_cast<unsigned char>(cp936[at]) < 0x80; };
  std::string utf8;
  utf8.reserve(cp936.size() + cp936.size() / 4);
  std::size_t i = 0;
  while (i < cp936.size()) {
    std::size_t start = i;
    while (start < cp936.size() && ascii(start)) ++start;
    utf8.append(cp936, i, start - i);
    if (start == cp936.size()) break;
    // An ASCII byte may be the second byte of a character, and after an invalid byte the
    // converter may pair bytes otherwise than a plain stepper would; but an ASCII byte that
    // follows another always starts a character. The run ends there; the converter keeps no
    // state between characters, so converting run by run gives the same text.
    std::size_t end = start + 1;
    while (end < cp936.size() && !(ascii(end) && ascii(end - 1))) ++end;
    utf8 += text::Cp936ToUtf8(cp936.substr(start, end - start));
    i = end;
  }
  return utf8;
}

std::string ToCp936(std::string_view utf8) {
  const bool ascii = std::all_of(utf8.begin(), utf8.end(),
                                 [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  return ascii ? std::string(utf8) : text::Utf8ToCp936(utf8);
}

}  // namespace corvane::json
