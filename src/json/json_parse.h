// Parsing JSON text into a Boost.JSON tree with numbers as the script engine reads them.
#pragma once

#include <boost/json/storage_ptr.hpp>
#include <boost/json/value.hpp>
#include <optional>
#include <string_view>

namespace corvane::json {

// Deeper nesting than any answer has, yet bounded so that no text can exhaust the stack of the
// recursive readers and writers.
inline constexpr std::size_t kMaxJsonDepth = 1000;

// Parses a whole UTF-8 JSON text (surrounding white space allowed) into a tree whose nodes
// come from `storage`. Numbers with a fraction or an exponent are converted from their text
// with correct rounding, so that every number is the double the script engine would read;
// "-0" is -0. Nothing when the text is not JSON or nests deeper than kMaxJsonDepth.
std::optional<boost::json::value> ParseJson(std::string_view utf8,
                                            boost::json::storage_ptr storage);

}  // namespace corvane::json
