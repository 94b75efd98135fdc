// Compact JSON text as the script engine's JSON.stringify writes it, on UTF-8.
#pragma once

#include <boost/json/value.hpp>
#include <string>
#include <string_view>

namespace corvane::json {

// Appends `utf8` as a quoted JSON string: \" \\ \b \t \n \f \r, and \u with four lower-case hex
// digits for the other control characters (U+0000 to U+001F, U+007F to U+009F) and for the
// invisible and line-breaking characters U+00AD, U+0600-U+0604, U+070F, U+17B4, U+17B5,
// U+200C-U+200F, U+2028-U+202F, U+2060-U+206F, U+FEFF and U+FFF0-U+FFFF. Every other character
// is copied as it stands, "/" included.
void AppendJsonString(std::string& out, std::string_view utf8);

// Appends `value` as compact JSON: no blanks, object members in the tree's order, numbers in
// the script's number-to-text form, numbers that are not finite as null.
void AppendJson(std::string& out, const boost::json::value& value);

}  // namespace corvane::json
