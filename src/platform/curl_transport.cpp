// The HTTP transport on libcurl. Each request object owns one easy handle; the transfer runs
// on a multi handle so that the send and receive limits can bound every wait for the network
// precisely. With connection reuse, each thread keeps one multi handle whose connection cache
// outlives the requests (libcurl's shared connection cache is not safe across threads).
#include <algorithm>
#include <array>
#include <chrono>
#include <climits>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/curl_handles.h"
#include "platform/http_transport.h"
#include "platform/wire_url.h"
#include "text/charset.h"

namespace corvane::platform {

namespace {

using SteadyClock = std::chrono::steady_clock;

// The transport's own limits when SetTimeouts was not called, in milliseconds.
constexpr int kDefaultConnectMs = 60000;
constexpr int kDefaultSendMs = 30000;
constexpr int kDefaultReceiveMs = 30000;
constexpr long kMaxRedirects = 10;
// libcurl reads a connect time-out of 0 as its 300 s default, not as "no limit".
constexpr long kNoConnectLimitMs = INT_MAX;
// Idle connections a thread keeps for reuse.
constexpr long kCachedConnectionsPerThread = 16;

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return lower(x) == lower(y);
  });
}

bool HasNonAscii(std::string_view text) {
  return std::any_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

// A header line of the answer as program text: UTF-8 lines become CP936, other bytes stay.
std::string HeaderLineText(std::string_view line) {
  if (!HasNonAscii(line) || !text::IsValidUtf8(line)) return std::string(line);
  return text::Utf8ToCp936(line);
}

// The multi handle whose connection cache serves every reusing request of this thread; made
// on first use, closed (with its idle connections) at thread exit or by CloseIdleConnections.
curl::MultiHandle& ThreadMultiHandle() {
  thread_local curl::MultiHandle multi;
  return multi;
}

CURLM* ThreadConnectionCache() {
  curl::MultiHandle& multi = ThreadMultiHandle();
  if (!multi) {
    multi.reset(curl_multi_init());
    if (multi) curl_multi_setopt(multi.get(), CURLMOPT_MAXCONNECTS, kCachedConnectionsPerThread);
  }
  return multi.get();
}

class CurlRequest final : public HttpRequestObject {
 public:
  CurlRequest(curl::EasyHandle easy, bool reuseConnections)
      : easy_(std::move(easy)), reuseConnections_(reuseConnections) {}

  bool SetTimeouts(int resolveMs, int connectMs, int sendMs, int receiveMs) override {
    if (resolveMs < 0 || connectMs < 0 || sendMs < 0 || receiveMs < 0) return false;
    // libcurl bounds name resolution and connecting together.
    const long connectPhase = resolveMs == 0 || connectMs == 0
                                  ? kNoConnectLimitMs
                                  : std::min<long>(kNoConnectLimitMs, long{resolveMs} + connectMs);
    connectLimitMs_ = connectPhase;
    sendLimitMs_ = sendMs;
    receiveLimitMs_ = receiveMs;
    return true;
  }

  bool SetProxy(const std::string& server) override {
    if (server.empty() || std::any_of(server.begin(), server.end(), [](char c) {
          return static_cast<unsigned char>(c) <= 0x20 || c == 0x7F;
        })) {
      return false;
    }
    proxy_ = server;
    return true;
  }

  bool SetProxyCredentials(const std::string& user, const std::string& password,
                           int flags) override {
    Credentials credentials{text::Cp936ToUtf8(user), text::Cp936ToUtf8(password)};
    if (flags == 1) {
      proxyCredentials_ = std::move(credentials);
    } else if (flags == 0) {
      serverCredentials_ = std::move(credentials);
    } else {
      return false;
    }
    return true;
  }

  bool Open(const std::string& method, const std::string& url) override {
    opened_ = false;
    headerLines_.clear();
    headerNames_.clear();
    ClearAnswer();
    followRedirects_ = true;
    if (method.empty() || std::any_of(method.begin(), method.end(), [](char c) {
          return static_cast<unsigned char>(c) <= 0x20 || static_cast<unsigned char>(c) >= 0x7F;
        })) {
      return false;
    }
    std::string wire = WireUrl(url);
    if (!IsHttpUrl(wire)) return false;
    method_ = method;
    wireUrl_ = std::move(wire);
    opened_ = true;
    return true;
  }

  void DisableRedirects() override { followRedirects_ = false; }

  bool SetRequestHeader(const std::string& name, const std::string& value) override {
    if (!opened_ || name.empty()) return false;
    if (name.find_first_of(":\r\n") != std::string::npos) return false;
    if (value.find_first_of("\r\n") != std::string::npos) return false;
    // libcurl reads "Name:" as "do not send Name" and "Name;" as "send Name empty".
    headerLines_.push_back(text::Cp936ToUtf8(value.empty() ? name + ";" : name + ": " + value));
    headerNames_.push_back(name);
    return true;
  }

  bool Send(const Bytes& body) override {
    ClearAnswer();
    if (!opened_) return false;
    requestBody_ = body;
    curl::Slist headers;
    if (!Configure(headers)) return false;

    curl::MultiHandle ownMulti;
    CURLM* multi = reuseConnections_ ? ThreadConnectionCache() : nullptr;
    if (multi == nullptr) {
      ownMulti.reset(curl_multi_init());
      multi = ownMulti.get();
    }
    const bool ok = multi != nullptr && RunTransfer(multi);
    if (!ok) {
      ClearAnswer();
      return false;
    }
    long status = 0;
    curl_easy_getinfo(easy_.get(), CURLINFO_RESPONSE_CODE, &status);
    status_ = static_cast<int>(status);
    for (const std::string& line : answerHeaderLines_) {
      if (!responseHeaders_.empty()) responseHeaders_ += "\r\n";
      responseHeaders_ += HeaderLineText(line);
    }
    return true;
  }

  Bytes ResponseBody() const override { return responseBody_; }
  std::string AllResponseHeaders() const override { return responseHeaders_; }
  int Status() const override { return status_; }

 private:
  struct Credentials {
    std::string user;
    std::string password;
  };

  static bool IsHttpUrl(const std::string& wireUrl) {
    curl::UrlHandle parsed(curl_url());
    if (!parsed || curl_url_set(parsed.get(), CURLUPART_URL, wireUrl.c_str(), 0) != CURLUE_OK) {
      return false;
    }
    char* scheme = nullptr;
    if (curl_url_get(parsed.get(), CURLUPART_SCHEME, &scheme, 0) != CURLUE_OK) return false;
    const std::string_view schemeText(scheme);
    const bool http = schemeText == "http" || schemeText == "https";
    curl_free(scheme);
    return http;
  }

  bool HeaderSet(std::string_view name) const {
    return std::any_of(headerNames_.begin(), headerNames_.end(),
                       [&](const std::string& set) { return EqualsIgnoringCase(set, name); });
  }

  // The caller's lines in order, plus "Name:" lines that keep libcurl from adding headers of
  // its own that the caller did not ask for. Host and Content-Length stay libcurl's.
  bool BuildHeaders(curl::Slist& headers) const {
    for (const std::string& line : headerLines_) {
      if (!curl::Append(headers, line.c_str())) return false;
    }
    for (const char* own : {"Accept", "Expect", "Content-Type", "Proxy-Connection"}) {
      if (HeaderSet(own)) continue;
      if (!curl::Append(headers, (std::string(own) + ":").c_str())) return false;
    }
    return true;
  }

  bool Configure(curl::Slist& headers) {
    CURL* easy = easy_.get();
    curl_easy_reset(easy);
    if (!BuildHeaders(headers)) return false;
    bool ok = true;
    const auto set = [&](CURLoption option, auto value) {
      ok = ok && curl_easy_setopt(easy, option, value) == CURLE_OK;
    };
    set(CURLOPT_URL, wireUrl_.c_str());
    set(CURLOPT_PROTOCOLS_STR, "http,https");
    set(CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    set(CURLOPT_NOSIGNAL, 1L);
    // HTTP/2 would lower-case the header names that callers search for.
    set(CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    set(CURLOPT_FOLLOWLOCATION, followRedirects_ ? 1L : 0L);
    set(CURLOPT_MAXREDIRS, kMaxRedirects);
    // An empty proxy text switches off the proxies of the environment as well.
    set(CURLOPT_PROXY, proxy_.c_str());
    set(CURLOPT_NOPROXY, "");
    set(CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    if (proxyCredentials_) {
      set(CURLOPT_PROXYUSERNAME, proxyCredentials_->user.c_str());
      set(CURLOPT_PROXYPASSWORD, proxyCredentials_->password.c_str());
      set(CURLOPT_PROXYAUTH, CURLAUTH_ANY);
    }
    if (serverCredentials_) {
      set(CURLOPT_USERNAME, serverCredentials_->user.c_str());
      set(CURLOPT_PASSWORD, serverCredentials_->password.c_str());
      set(CURLOPT_HTTPAUTH, CURLAUTH_ANY);
    }
    set(CURLOPT_HTTPHEADER, headers.get());
    if (method_ == "HEAD") {
      set(CURLOPT_NOBODY, 1L);
    } else if (method_ == "GET" && requestBody_.empty()) {
      set(CURLOPT_HTTPGET, 1L);
    } else {
      set(CURLOPT_POST, 1L);
      set(CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(requestBody_.size()));
      // Never a null pointer: libcurl would then read the body from standard input.
      set(CURLOPT_POSTFIELDS,
          requestBody_.empty() ? "" : reinterpret_cast<const char*>(requestBody_.data()));
      if (method_ != "POST") set(CURLOPT_CUSTOMREQUEST, method_.c_str());
    }
    set(CURLOPT_CONNECTTIMEOUT_MS, connectLimitMs_);
    set(CURLOPT_FORBID_REUSE, reuseConnections_ ? 0L : 1L);
    set(CURLOPT_WRITEFUNCTION, &CurlRequest::OnBody);
    set(CURLOPT_WRITEDATA, this);
    set(CURLOPT_HEADERFUNCTION, &CurlRequest::OnHeaderLine);
    set(CURLOPT_HEADERDATA, this);
    set(CURLOPT_NOPROGRESS, 0L);
    set(CURLOPT_XFERINFOFUNCTION, &CurlRequest::OnProgress);
    set(CURLOPT_XFERINFODATA, this);
    set(CURLOPT_PREREQFUNCTION, &CurlRequest::OnConnected);
    set(CURLOPT_PREREQDATA, this);
    return ok;
  }

  // Runs the transfer to its end on `multi`; false on a failure or an exceeded limit.
  bool RunTransfer(CURLM* multi) {
    CURL* easy = easy_.get();
    if (curl_multi_add_handle(multi, easy) != CURLM_OK) return false;
    connected_ = false;
    uploaded_ = 0;
    lastActivity_ = SteadyClock::now();
    std::optional<CURLcode> result;
    while (!result) {
      int running = 0;
      if (curl_multi_perform(multi, &running) != CURLM_OK) break;
      int queued = 0;
      while (CURLMsg* message = curl_multi_info_read(multi, &queued)) {
        if (message->msg == CURLMSG_DONE && message->easy_handle == easy) {
          result = message->data.result;
        }
      }
      if (result || running == 0) break;
      int waitMs = 1000;
      if (const long limit = IdleLimitMs(); limit > 0) {
        const auto idle = std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() -
                                                                                lastActivity_)
                              .count();
        if (idle >= limit) break;
        waitMs = static_cast<int>(std::min<long>(waitMs, limit - idle));
      }
      if (curl_multi_poll(multi, nullptr, 0, waitMs, nullptr) != CURLM_OK) break;
    }
    curl_multi_remove_handle(multi, easy);
    return result && *result == CURLE_OK;
  }

  // The limit on the current wait for the network: none while connecting (libcurl bounds
  // that), the send limit while the body goes out, the receive limit afterwards.
  long IdleLimitMs() const {
    if (!connected_) return 0;
    const bool sending = uploaded_ < static_cast<curl_off_t>(requestBody_.size());
    return sending ? sendLimitMs_ : receiveLimitMs_;
  }

  void ClearAnswer() {
    responseBody_.clear();
    responseHeaders_.clear();
    answerHeaderLines_.clear();
    status_ = 0;
  }

  static size_t OnBody(char* data, size_t, size_t size, void* self) {
    auto& request = *static_cast<CurlRequest*>(self);
    request.lastActivity_ = SteadyClock::now();
    try {
      request.responseBody_.insert(request.responseBody_.end(), data, data + size);
    } catch (...) {
      return 0;  // aborts the transfer
    }
    return size;
  }

  static size_t OnHeaderLine(char* data, size_t, size_t size, void* self) {
    auto& request = *static_cast<CurlRequest*>(self);
    request.lastActivity_ = SteadyClock::now();
    std::string_view line(data, size);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    try {
      if (line.starts_with("HTTP/")) {
        // A new answer begins (after a redirect or an interim answer): only the last counts.
        request.answerHeaderLines_.clear();
        request.responseBody_.clear();
      } else if (!line.empty()) {
        request.answerHeaderLines_.emplace_back(line);
      }
    } catch (...) {
      return 0;
    }
    return size;
  }

  static int OnProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t uploaded) {
    auto& request = *static_cast<CurlRequest*>(self);
    if (uploaded != request.uploaded_) {
      request.uploaded_ = uploaded;
      request.lastActivity_ = SteadyClock::now();
    }
    return 0;
  }

  static int OnConnected(void* self, char*, char*, int, int) {
    auto& request = *static_cast<CurlRequest*>(self);
    request.connected_ = true;
    request.uploaded_ = 0;
    request.lastActivity_ = SteadyClock::now();
    return CURL_PREREQFUNC_OK;
  }

  curl::EasyHandle easy_;
  const bool reuseConnections_;

  long connectLimitMs_ = kDefaultConnectMs;
  long sendLimitMs_ = kDefaultSendMs;
  long receiveLimitMs_ = kDefaultReceiveMs;
  std::string proxy_;
  std::optional<Credentials> proxyCredentials_;
  std::optional<Credentials> serverCredentials_;

  bool opened_ = false;
  std::string method_;
  std::string wireUrl_;
  bool followRedirects_ = true;
  std::vector<std::string> headerLines_;  // UTF-8, as libcurl sends them
  std::vector<std::string> headerNames_;  // CP936, as the caller gave them
  Bytes requestBody_;

  // Transfer bookkeeping, written by the callbacks.
  bool connected_ = false;
  curl_off_t uploaded_ = 0;
  SteadyClock::time_point lastActivity_;

  Bytes responseBody_;
  std::vector<std::string> answerHeaderLines_;
  std::string responseHeaders_;
  int status_ = 0;
};

class CurlHttpTransport final : public HttpTransport {
 public:
  explicit CurlHttpTransport(bool reuseConnections) : reuseConnections_(reuseConnections) {
    curl::EnsureGlobalInit();
  }

  std::unique_ptr<HttpRequestObject> CreateRequest() override {
    curl::EasyHandle easy(curl_easy_init());
    if (!easy) return nullptr;
    return std::make_unique<CurlRequest>(std::move(easy), reuseConnections_);
  }

 private:
  const bool reuseConnections_;
};

}  // namespace

std::shared_ptr<HttpTransport> CurlTransport(bool reuseConnections) {
  return std::make_shared<CurlHttpTransport>(reuseConnections);
}

void CloseIdleConnections() {
  ThreadMultiHandle().reset();
}

}  // namespace corvane::platform
