// The text conventions of the program, on CP936 byte strings held in std::string:
// character stepping, splitting at a separator, boundary-aware search, trimming and
// the text/integer conversions. Positions are 0-based byte offsets; "not found" is npos.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::text {

inline constexpr std::size_t npos = std::string_view::npos;

// A lead byte starts a two-byte character.
inline bool IsLeadByte(unsigned char byte) {
  return byte >= 0x81 && byte <= 0xFE;
}

// Bytes taken by the character that starts at `pos`: 2 for a lead byte with a byte after it,
// otherwise 1.
inline std::size_t CharLength(std::string_view text, std::size_t pos) {
  return IsLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size() ? 2 : 1;
}

// Splits at every occurrence of `separator` found on a character boundary. An empty text gives
// no pieces; every separator ends one piece (so a leading or doubled separator gives an empty
// piece); a trailing separator adds no empty piece; pieces are not trimmed.
std::vector<std::string> Split(std::string_view text, std::string_view separator);

// First occurrence of `needle` at or after `from` that starts on a character boundary
// (`from` must itself be a boundary). An empty needle is found at `from` in a non-empty text
// and nowhere in an empty one.
std::size_t Find(std::string_view text, std::string_view needle, std::size_t from = 0);

inline bool Contains(std::string_view text, std::string_view needle) {
  return Find(text, needle) != npos;
}

// Replaces every boundary-aligned occurrence of `from` (scanning from the start) by `to`.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

// Removes ASCII spaces and full-width spaces (A1 A1) at both ends; tabs, CR and LF stay.
std::string_view Trim(std::string_view text);

// Leading white space skipped, an optional sign, then digits up to the first non-digit;
// full-width digits and signs count as their ASCII forms. 0 when there are no digits;
// values beyond the 64-bit range saturate.
long long ToInteger(std::string_view text);

// Decimal text without leading zeros.
std::string NumberText(long long number);

}  // namespace corvane::text
