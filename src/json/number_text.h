// Numbers as the document's script values read them: the JavaScript number-to-text form and
// the conversion of a numeric string to a number.
#pragma once

#include <string>
#include <string_view>

namespace corvane::json {

// Number.prototype.toString(): the shortest digits that read back as the same double, laid
// out in positional form for magnitudes from 1e-7 up to 1e21 and in exponent form ("1e+21",
// "1.5e-7") outside that range; -0 gives "0"; NaN and the infinities give "NaN", "Infinity",
// "-Infinity".
std::string JsNumberText(double number);

// A string read as a number: after ASCII white space is trimmed at both ends, a decimal number
// (optional sign, digits with an optional fraction, optional exponent) gives its value. Any
// other text, an empty one, and a value beyond the double range give 0, as a failed
// conversion does.
double NumericTextValue(std::string_view text);

}  // namespace corvane::json
