// What the transport puts on the wire for a URL given as CP936 text.
#pragma once

#include <string>
#include <string_view>

namespace corvane::platform {

// The UTF-8 form of `cp936Url` with exactly the bytes a URL cannot carry percent-escaped
// (upper-case hex): blank, control characters, DEL, every byte of a non-ASCII character, and
// " < > \ ^ ` { | }. Everything else, "%", "&", "=" and "#" included, stays as it stands, so
// escapes already in the URL are kept and never doubled.
std::string WireUrl(std::string_view cp936Url);

}  // namespace corvane::platform
