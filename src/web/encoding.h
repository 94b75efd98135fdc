// The conversions at the network boundary: CP936 <-> UTF-8, percent-encoding for query
// values, percent-decoding, and the millisecond timestamp that search queries carry.
#pragma once

#include <string>
#include <string_view>

#include "platform/clock.h"

namespace corvane::web {

// CP936 text to its UTF-8 form.
std::string AnsiToUtf8(std::string_view ansi);

// UTF-8 text to CP936; a character CP936 lacks becomes "?".
std::string Utf8ToAnsi(std::string_view utf8);

// Percent-encodes every byte as "%XX" (upper-case hex). With `keepUnreserved`, "-", ".",
// digits and ASCII letters stay as they are (the slash, "_", "~", "*" and the blank are still
// encoded; a blank is "%20", never "+"). With `asUtf8` the UTF-8 form of the text is encoded.
std::string UrlEncode(std::string_view text, bool keepUnreserved = false, bool asUtf8 = false);

// Replaces each "%" and the two bytes after it by one byte. A digit that is not hexadecimal
// counts -2, a digit missing at the end of the text counts 0, only the low eight bits of
// 16 * first + second are kept, and a zero byte is dropped. "+" stays. With `fromUtf8` the
// decoded bytes are then read as UTF-8 and turned into CP936.
std::string UrlDecode(std::string_view text, bool fromUtf8 = false);

// The Unix time of one reading of `clock` in milliseconds, as decimal digits (13 digits from
// 2001 to 2286); with `secondsOnly` its first ten digits, the seconds.
std::string TimestampText(bool secondsOnly = false,
                          const platform::Clock& clock = platform::SystemClock());

}  // namespace corvane::web
