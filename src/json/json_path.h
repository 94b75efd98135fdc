// The member expressions that address a value below a document's root: property names joined
// by "." and subscripts of a decimal index, such as data.pageList[3].title or [1].
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::json {

struct PathStep {
  // A subscript [n] looks up the key that the script engine makes of the number n (so [01]
  // cannot occur and [123456789012345678901] names "123456789012345680000"); on an array it
  // selects element n.
  bool subscript = false;
  std::string key;   // UTF-8
  double index = 0;  // subscripts only
};

using Path = std::vector<PathStep>;

// Reads a UTF-8 path. A name is a script identifier: ASCII letters, digits (not first), "_" and
// "$", and every non-ASCII character, since script names may hold Chinese letters. A
// subscript is "[" digits "]" without leading zeros or blanks. With `mayStartWithSubscript`
// the path may begin with a subscript ("[1].title"); otherwise it must begin with a name, as
// the root and the path are joined by ".". Nothing for an empty path or any other form.
std::optional<Path> ParsePath(std::string_view utf8, bool mayStartWithSubscript);

}  // namespace corvane::json
