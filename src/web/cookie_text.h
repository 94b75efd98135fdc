// The cookie text: cookies held as one text shaped like a Cookie request header
// ("name=value" entries joined by "; "), and the text operations that keep it current.
// All texts are CP936; searches are byte-wise, case-sensitive and step over two-byte
// characters.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace corvane::web {

// Folds the pairs of `newText` into `oldText`: new values win, entries ending in "=deleted"
// vanish, exact repeats are dropped, and no space survives inside an entry. `oldText` is
// rewritten with the merged text, `newText` with its spaces removed; returns the merged text.
// The merged text lists the new entries in their order, then the old entries whose names
// are not among the new ones (only the first of several old entries of one name).
std::string MergeCookies(std::string& oldText, std::string& newText);

// The name of one entry: the text before its first "=" (the whole entry when there is
// none), trimmed of ASCII and full-width spaces.
std::string CookieName(std::string_view entry);

// True when some entry of `entries` has exactly the name `name`.
bool HasCookieNamed(const std::vector<std::string>& entries, std::string_view name);

// Splits `text` at `separator` and joins the pieces again with it, keeping only the first
// of pieces that are exactly equal.
std::string RemoveDuplicateEntries(std::string_view text, std::string_view separator);

// The text between the first `start` marker and the first `end` marker after it; empty when
// either marker is missing.
std::string TextBetween(std::string_view text, std::string_view start, std::string_view end);

}  // namespace corvane::web
