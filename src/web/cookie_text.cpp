#include "web/cookie_text.h"

#include <unordered_set>

#include "text/cp936.h"

namespace corvane::web {

namespace {

constexpr std::string_view kEntrySeparator = "; ";
constexpr std::string_view kDeletedSuffix = "=deleted";

// Drops ASCII spaces and whole full-width spaces (A1 A1); tabs and everything else stay.
std::string WithoutSpaces(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t length = text::CharLength(text, pos);
    const std::string_view character = text.substr(pos, length);
    if (character != " " && character != "\xA1\xA1") result.append(character);
    pos += length;
  }
  return result;
}

bool EndsInDeleted(std::string_view entry) {
  return entry.size() >= kDeletedSuffix.size() &&
         entry.substr(entry.size() - kDeletedSuffix.size()) == kDeletedSuffix;
}

}  // namespace

std::string MergeCookies(std::string& oldText, std::string& newText) {
  oldText = WithoutSpaces(oldText);
  newText = WithoutSpaces(newText);

  const std::vector<std::string> oldEntries = text::Split(oldText, ";");
  std::vector<std::string> entries = text::Split(newText, ";");
  // The list grows while the old entries are walked, so of several old entries with one
  // name only the first is kept.
  for (const std::string& entry : oldEntries) {
    if (!HasCookieNamed(entries, CookieName(entry))) entries.push_back(entry);
  }

  std::string merged;
  for (const std::string& entry : entries) {
    if (EndsInDeleted(entry)) continue;
    merged.append(entry).append(kEntrySeparator);
  }
  if (!merged.empty()) merged.resize(merged.size() - kEntrySeparator.size());

  oldText = RemoveDuplicateEntries(merged, kEntrySeparator);
  return oldText;
}

std::string CookieName(std::string_view entry) {
  const std::size_t equals = text::Find(entry, "=");
  return std::string(text::Trim(equals == text::npos ? entry : entry.substr(0, equals)));
}

bool HasCookieNamed(const std::vector<std::string>& entries, std::string_view name) {
  for (const std::string& entry : entries) {
    if (CookieName(entry) == name) return true;
  }
  return false;
}

std::string RemoveDuplicateEntries(std::string_view text, std::string_view separator) {
  std::unordered_set<std::string> seen;
  std::string result;
  result.reserve(text.size() + separator.size());
  for (std::string& piece : text::Split(text, separator)) {
    if (seen.contains(piece)) continue;
    result.append(piece).append(separator);
    seen.insert(std::move(piece));
  }
  if (result.size() >= separator.size()) result.resize(result.size() - separator.size());
  return result;
}

std::string TextBetween(std::string_view text, std::string_view start, std::string_view end) {
  const std::size_t startPos = text::Find(text, start);
  if (startPos == text::npos) return {};
  const std::size_t valueStart = startPos + start.size();
  const std::size_t endPos = text::Find(text, end, valueStart);
  if (endPos == text::npos) return {};
  return std::string(text.substr(valueStart, endPos - valueStart));
}

}  // namespace corvane::web
