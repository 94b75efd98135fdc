// Conversion between CP936 text (the program's own) and UTF-8 (network, JSON, Qt, terminal).
#pragma once

#include <string>
#include <string_view>

namespace corvane::text {

// A byte sequence that is not valid CP936 becomes U+FFFD, one per byte.
std::string Cp936ToUtf8(std::string_view cp936);

// A character that CP936 cannot represent, and every byte of an invalid UTF-8 sequence,
// becomes "?", the conversion's default character.
std::string Utf8ToCp936(std::string_view utf8);

// True when the bytes are well-formed UTF-8.
bool IsValidUtf8(std::string_view bytes);

}  // namespace corvane::text
