// The program's HTTP client. Every request drives one fresh request object of the injected
// transport: browser-like default headers completed around the caller's own, the caller's
// cookie text sent first, and on the way back the response headers, the last "Location:"
// value and the received cookie pairs handed back, the pairs merged into the caller's cookie
// text. Failures are silent: the body is then empty. Texts are CP936.
//
// Pointer parameters stand for the caller's variables that a request reads and rewrites;
// nullptr means "not given" (the request then works on an empty text of its own).
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/bytes.h"
#include "platform/http_transport.h"

namespace corvane::web {

class WebClient {
 public:
  explicit WebClient(
      std::shared_ptr<platform::HttpTransport> transport = platform::CurlTransport());

  // The text after the first ":" of a header line, trimmed; empty without a colon.
  static std::string HeaderLineValue(std::string_view line);
  // The text before the first ":" of a header line, trimmed; empty without a colon.
  static std::string HeaderLineName(std::string_view line);

  // `timeout`: -1 leaves the transport's own limits, 0 means no limit, 1 one second, 2 or
  // more fifteen seconds (for resolving, connecting, sending and receiving alike).
  // `proxyFlags` 1 means the credentials are for the proxy; they are only used with a proxy.
  platform::Bytes HttpGet(const std::string& url, std::string* cookies = nullptr,
                          std::string* receivedCookies = nullptr,
                          std::string* extraHeaders = nullptr, std::string* location = nullptr,
                          bool noRedirect = false, const std::string& proxy = {}, int timeout = 0,
                          const std::string& proxyUser = {}, const std::string& proxyPassword = {},
                          int proxyFlags = 1, std::string* responseHeaders = nullptr) const;

  // As HttpGet; sends `bodyBytes` when not empty, otherwise `bodyText` as UTF-8.
  platform::Bytes HttpPost(const std::string& url, const std::string& bodyText = {},
                           std::string* cookies = nullptr, std::string* receivedCookies = nullptr,
                           std::string* extraHeaders = nullptr, std::string* location = nullptr,
                           bool noRedirect = false, const platform::Bytes& bodyBytes = {},
                           const std::string& proxy = {}, int timeout = 0,
                           const std::string& proxyUser = {}, const std::string& proxyPassword = {},
                           int proxyFlags = 1, std::string* responseHeaders = nullptr) const;

 private:
  struct Request;
  platform::Bytes Perform(const Request& request) const;

  std::shared_ptr<platform::HttpTransport> transport_;
};

}  // namespace corvane::web
