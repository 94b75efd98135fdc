// Texts between the document's CP936 interface and its UTF-8 tree.
#pragma once

#include <string>
#include <string_view>

namespace corvane::json {

// The same as text::Cp936ToUtf8, faster on mostly-ASCII text such as an answer: the encodings
// agree on ASCII, so only the runs of two-byte characters go through the converter.
std::string ToUtf8(std::string_view cp936);

// text::Utf8ToCp936, with ASCII text returned as it stands.
std::string ToCp936(std::string_view utf8);

}  // namespace corvane::json
