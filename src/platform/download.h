// A plain download of one URL into bytes, for fetching small files such as the online filter
// keyword list.
#pragma once

#include <string>

#include "platform/bytes.h"

namespace corvane::platform {

// The body of a successful (2xx) answer to a GET of `url` (CP936 text), redirects followed;
// empty on any failure or other status. `timeoutMs` bounds connecting and every wait for
// data; 0 means no limit.
Bytes Download(const std::string& url, int timeoutMs);

}  // namespace corvane::platform
