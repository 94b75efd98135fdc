#include "web/web_client.h"

#include <algorithm>
#include <climits>

#include "text/charset.h"
#include "text/cp936.h"
#include "web/cookie_text.h"

namespace corvane::web {

namespace {

constexpr std::string_view kLineBreak = "\r\n";

// Milliseconds given to all four limits of the request object for a `timeout` value.
int TimeoutMilliseconds(int timeout) {
  if (timeout >= 2) return 15000;
  const long long ms = static_cast<long long>(timeout) * 1000;
  return static_cast<int>(std::max<long long>(ms, INT_MIN));
}

// Adds the browser-like default lines the caller has not written itself. Each test looks for
// the marker anywhere in the text, case-sensitively, so a caller's line replaces a default.
void CompleteHeaders(std::string& headers, const std::string& url) {
  if (headers.empty()) {
    headers = "Accept: */*";
  } else if (!text::Contains(headers, "Accept:")) {
    headers.append(kLineBreak).append("Accept: */*");
  }
  if (!text::Contains(headers, "Referer:")) headers.append(kLineBreak).append("Referer: " + url);
  if (!text::Contains(headers, "Accept-Language:")) {
    headers.append(kLineBreak).append("Accept-Language: zh-cn");
  }
  if (!text::Contains(headers, "User-Agent:")) {
    headers.append(kLineBreak)
        .append("User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)");
  }
  if (!text::Contains(headers, "Content-Type:")) {
    headers.append(kLineBreak).append("Content-Type: application/x-www-form-urlencoded");
  }
}

// The name=value pair of one Set-Cookie line: the text after "Set-Cookie:" up to the first
// ";", or up to the end of the line when the server gave no attributes.
std::string SetCookiePair(std::string_view line) {
  constexpr std::string_view kMarker = "Set-Cookie:";
  std::string pair = TextBetween(line, kMarker, ";");
  if (pair.empty()) {
    const std::size_t marker = text::Find(line, kMarker);
    if (marker != text::npos && text::Find(line, ";", marker + kMarker.size()) == text::npos) {
      pair = line.substr(marker + kMarker.size());
    }
  }
  return std::string(text::Trim(pair));
}

}  // namespace

struct WebClient::Request {
  const char* method;
  const std::string& url;
  std::string* cookies;
  std::string* receivedCookies;
  std::string* extraHeaders;
  std::string* location;
  bool noRedirect;
  const platform::Bytes* body;
  const std::string& proxy;
  int timeout;
  const std::string& proxyUser;
  const std::string& proxyPassword;
  int proxyFlags;
  std::string* responseHeaders;
};

WebClient::WebClient(std::shared_ptr<platform::HttpTransport> transport)
    : transport_(std::move(transport)) {}

std::string WebClient::HeaderLineValue(std::string_view line) {
  const std::size_t colon = text::Find(line, ":");
  if (colon == text::npos) return {};
  return std::string(text::Trim(line.substr(colon + 1)));
}

std::string WebClient::HeaderLineName(std::string_view line) {
  const std::size_t colon = text::Find(line, ":");
  if (colon == text::npos) return {};
  return std::string(text::Trim(line.substr(0, colon)));
}

platform::Bytes WebClient::HttpGet(const std::string& url, std::string* cookies,
                                   std::string* receivedCookies, std::string* extraHeaders,
                                   std::string* location, bool noRedirect, const std::string& proxy,
                                   int timeout, const std::string& proxyUser,
                                   const std::string& proxyPassword, int proxyFlags,
                                   std::string* responseHeaders) const {
  const platform::Bytes noBody;
  return Perform({"GET", url, cookies, receivedCookies, extraHeaders, location, noRedirect, &noBody,
                  proxy, timeout, proxyUser, proxyPassword, proxyFlags, responseHeaders});
}

platform::Bytes WebClient::HttpPost(const std::string& url, const std::string& bodyText,
                                    std::string* cookies, std::string* receivedCookies,
                                    std::string* extraHeaders, std::string* location,
                                    bool noRedirect, const platform::Bytes& bodyBytes,
                                    const std::string& proxy, int timeout,
                                    const std::string& proxyUser, const std::string& proxyPassword,
                                    int proxyFlags, std::string* responseHeaders) const {
  platform::Bytes textBody;
  if (bodyBytes.empty()) {
    const std::string utf8 = text::Cp936ToUtf8(bodyText);
    textBody.assign(utf8.begin(), utf8.end());
  }
  return Perform({"POST", url, cookies, receivedCookies, extraHeaders, location, noRedirect,
                  bodyBytes.empty() ? &textBody : &bodyBytes, proxy, timeout, proxyUser,
                  proxyPassword, proxyFlags, responseHeaders});
}

platform::Bytes WebClient::Perform(const Request& r) const {
  const std::unique_ptr<platform::HttpRequestObject> object =
      transport_ ? transport_->CreateRequest() : nullptr;
  // Without a request object nothing of the caller's is touched.
  if (!object) return {};

  // Parameters not given are worked on as empty texts of the request's own.
  std::string ownCookies, ownReceived, ownHeaders, ownLocation, ownResponseHeaders;
  std::string& cookies = r.cookies ? *r.cookies : ownCookies;
  std::string& receivedCookies = r.receivedCookies ? *r.receivedCookies : ownReceived;
  std::string& extraHeaders = r.extraHeaders ? *r.extraHeaders : ownHeaders;
  std::string& location = r.location ? *r.location : ownLocation;
  std::string& responseHeaders = r.responseHeaders ? *r.responseHeaders : ownResponseHeaders;

  if (r.timeout != -1) {
    const int ms = TimeoutMilliseconds(r.timeout);
    object->SetTimeouts(ms, ms, ms, ms);
  }
  if (!r.proxy.empty()) {
    object->SetProxy(r.proxy);
    if (!r.proxyUser.empty()) {
      object->SetProxyCredentials(r.proxyUser, r.proxyPassword, r.proxyFlags);
    }
  }
  object->Open(r.method, r.url);
  if (r.noRedirect) object->DisableRedirects();

  CompleteHeaders(extraHeaders, r.url);
  if (!cookies.empty()) object->SetRequestHeader("Cookie", cookies);
  if (!text::Contains(extraHeaders, kLineBreak)) {
    object->SetRequestHeader(HeaderLineName(extraHeaders), HeaderLineValue(extraHeaders));
  } else {
    for (const std::string& line : text::Split(extraHeaders, kLineBreak)) {
      if (!line.empty()) object->SetRequestHeader(HeaderLineName(line), HeaderLineValue(line));
    }
  }

  object->Send(*r.body);
  platform::Bytes body = object->ResponseBody();
  responseHeaders = object->AllResponseHeaders();

  for (const std::string& line : text::Split(responseHeaders, kLineBreak)) {
    if (text::Contains(line, "Location:")) location = HeaderLineValue(line);
    if (text::Contains(line, "Set-Cookie")) receivedCookies += SetCookiePair(line) + "; ";
  }
  // Also without new cookies: the caller's cookie text always leaves normalised.
  MergeCookies(cookies, receivedCookies);
  return body;
}

}  // namespace corvane::web
