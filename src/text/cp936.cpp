#include "text/cp936.h"

#include <limits>

namespace corvane::text {

std::vector<std::string> Split(std::string_view text, std::string_view separator) {
  std::vector<std::string> pieces;
  if (text.empty()) return pieces;
  if (separator.empty()) {
    pieces.emplace_back(text);
    return pieces;
  }
  std::size_t pieceStart = 0;
  std::size_t pos = 0;
  while (pos < text.size()) {
    if (text.compare(pos, separator.size(), separator) == 0) {
      pieces.emplace_back(text.substr(pieceStart, pos - pieceStart));
      pos += separator.size();
      pieceStart = pos;
    } else {
      pos += CharLength(text, pos);
    }
  }
  if (pieceStart < text.size()) pieces.emplace_back(text.substr(pieceStart));
  return pieces;
}

std::size_t Find(std::string_view text, std::string_view needle, std::size_t from) {
  if (needle.empty()) return from < text.size() ? from : npos;
  // The byte search finds candidates quickly; the character walk, which only ever moves
  // forward, tells whether a candidate starts on a boundary.
  std::size_t boundary = from;
  for (std::size_t pos = from; (pos = text.find(needle, pos)) != npos; pos = boundary) {
    while (boundary < pos) boundary += CharLength(text, boundary);
    if (boundary == pos) return pos;
  }
  return npos;
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(text);
  std::string result;
  result.reserve(text.size());
  std::size_t pos = 0;
  for (std::size_t hit; (hit = Find(text, from, pos)) != npos; pos = hit + from.size()) {
    result.append(text.substr(pos, hit - pos)).append(to);
  }
  result.append(text.substr(pos));
  return result;
}

namespace {

bool IsFullWidthSpace(std::string_view text, std::size_t pos) {
  return pos + 1 < text.size() && static_cast<unsigned char>(text[pos]) == 0xA1 &&
         static_cast<unsigned char>(text[pos + 1]) == 0xA1;
}

}  // namespace

std::string_view Trim(std::string_view text) {
  // Walk forward by characters: a trailing A1 A1 only counts when it is a whole character.
  std::size_t begin = 0;
  while (begin < text.size()) {
    if (text[begin] == ' ') {
      ++begin;
    } else if (IsFullWidthSpace(text, begin)) {
      begin += 2;
    } else {
      break;
    }
  }
  std::size_t end = begin;
  for (std::size_t pos = begin; pos < text.size();) {
    const std::size_t length = CharLength(text, pos);
    const bool space = text[pos] == ' ' || IsFullWidthSpace(text, pos);
    pos += length;
    if (!space) end = pos;
  }
  return text.substr(begin, end - begin);
}

namespace {

// The ASCII form of the character at `pos`, folding the full-width forms (A3 xx) of digits and
// signs; `length` receives the character's byte count.
char AsciiForm(std::string_view text, std::size_t pos, std::size_t& length) {
  length = CharLength(text, pos);
  if (length == 2 && static_cast<unsigned char>(text[pos]) == 0xA3) {
    const unsigned char trail = static_cast<unsigned char>(text[pos + 1]);
    if ((trail >= 0xB0 && trail <= 0xB9) || trail == 0xAB || trail == 0xAD) {
      return static_cast<char>(trail - 0x80);
    }
  }
  if (length == 2 && IsFullWidthSpace(text, pos)) return ' ';
  return length == 1 ? text[pos] : '\0';
}

}  // namespace

long long ToInteger(std::string_view text) {
  std::size_t pos = 0;
  std::size_t length = 0;
  auto current = [&] { return pos < text.size() ? AsciiForm(text, pos, length) : '\0'; };
  while (pos < text.size()) {
    const char c = current();
    if (c != ' ' && c != '\t' && c != '\n' && c != '\r' && c != '\v' && c != '\f') break;
    pos += length;
  }
  bool negative = false;
  if (const char sign = current(); sign == '+' || sign == '-') {
    negative = sign == '-';
    pos += length;
  }
  constexpr unsigned long long limit = std::numeric_limits<long long>::max();
  unsigned long long magnitude = 0;
  for (char c; (c = current()) >= '0' && c <= '9'; pos += length) {
    magnitude = magnitude * 10 + static_cast<unsigned>(c - '0');
    if (magnitude > limit) {
      return negative ? std::numeric_limits<long long>::min()
                      : std::numeric_limits<long long>::max();
    }
  }
  const long long value = static_cast<long long>(magnitude);
  return negative ? -value : value;
}

std::string NumberText(long long number) {
  return std::to_string(number);
}

}  // namespace corvane::text
