// The sandbox server on cpp-httplib: routing by host name, sign-in, item search with its
// session check, cookie renewals and fault switches.
#include "sim/sandbox_server.h"

#include <httplib.h>
#include <sys/socket.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "sim/answer_json.h"
#include "sim/catalogue.h"
#include "sim/connection_abort.h"
#include "sim/pages.h"
#include "sim/search_query.h"
#include "sim/session_store.h"
#include "text/charset.h"
#include "text/percent_encoding.h"

namespace corvane::sim {

namespace {

constexpr const char* kLoopback = "127.0.0.1";
constexpr std::string_view kPublisherName = "pub.sandbox.localhost";
constexpr std::string_view kLoginName = "login.sandbox.localhost";
constexpr std::string_view kFilterListName = "www.sandbox.localhost";
constexpr std::string_view kCookieDomainSuffix = ".sandbox.localhost";
constexpr const char* kHtml = "text/html; charset=utf-8";
constexpr const char* kJson = "application/json;charset=UTF-8";
// Renewals: every 5th answer of a session sets "t", every 10th also an HttpOnly cookie.
constexpr std::uint64_t kRenewEvery = 5;
constexpr std::uint64_t kHttpOnlyRenewEvery = 10;

enum class HostKind { kPublisher, kLogin, kFilterList, kUnknown, kAbsent };

// The Host header's name, lower-case and without the port.
HostKind HostOf(const httplib::Request& request) {
  if (!request.has_header("Host")) return HostKind::kAbsent;
  std::string host = request.get_header_value("Host");
  if (!host.empty() && host.front() == '[') {
    host = host.substr(0, host.find(']') + 1);
  } else {
    host = host.substr(0, host.find(':'));
  }
  std::transform(host.begin(), host.end(), host.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (!host.empty() && host.back() == '.') host.pop_back();  // "pub.sandbox.localhost."
  if (host == kPublisherName || host == "127.0.0.1" || host == "localhost") {
    return HostKind::kPublisher;
  }
  if (host == kLoginName) return HostKind::kLogin;
  if (host == kFilterListName) return HostKind::kFilterList;
  return HostKind::kUnknown;
}

bool IsSandboxName(const httplib::Request& request) {
  std::string host = request.get_header_value("Host");
  host = host.substr(0, host.find(':'));
  std::transform(host.begin(), host.end(), host.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return host.ends_with(kCookieDomainSuffix);
}

// Every Cookie header of the request, as one cookie text.
std::string CookieHeader(const httplib::Request& request) {
  std::string cookies;
  const std::size_t count = request.get_header_value_count("Cookie");
  for (std::size_t i = 0; i < count; ++i) {
    if (!cookies.empty()) cookies += "; ";
    cookies += request.get_header_value("Cookie", i);
  }
  return cookies;
}

// A cookie value that changes with every renewal and cannot be guessed from the session id.
std::string RenewalValue(const Session& session, std::uint64_t answer, std::uint64_t salt) {
  std::uint64_t hash = 0xcbf29ce484222325ULL ^ salt;
  for (const unsigned char c : session.id) hash = (hash ^ c) * 0x100000001b3ULL;
  hash = (hash ^ answer) * 0x100000001b3ULL;
  hash ^= hash >> 29;
  char buffer[24];
  std::snprintf(buffer, sizeof buffer, "%016llx", static_cast<unsigned long long>(hash));
  return buffer;
}

void WrongHost(httplib::Response& response, std::string_view expected) {
  response.status = 404;
  response.set_content(MessageHtml("404", "此地址只在 " + std::string(expected) + " 上提供。"),
                       kHtml);
}

}  // namespace

struct SandboxServer::Impl {
  explicit Impl(SandboxOptions options) : options(options), faults(options.faults) {}

  std::string Host(std::string_view name) const {
    return std::string(name) + ":" + std::to_string(port);
  }

  void Route();
  void Search(const httplib::Request& request, httplib::Response& response);
  void LoginForm(const httplib::Request& request, httplib::Response& response);
  void LoginSubmit(const httplib::Request& request, httplib::Response& response);
  void Callback(const httplib::Request& request, httplib::Response& response);
  void Home(const httplib::Request& request, httplib::Response& response);
  void FilterList(const httplib::Request& request, httplib::Response& response);
  std::shared_ptr<sim::Session> SessionOf(const httplib::Request& request) const;
  // False when Stop() began during the wait.
  bool Wait(int milliseconds);

  SandboxOptions options;
  httplib::Server http;
  std::thread listener;
  int port = 0;
  bool started = false;
  bool stopped = false;

  Catalogue catalogue;
  SessionStore sessions;
  const std::string filterListCp936 = text::Utf8ToCp936(kFilterKeywordsUtf8);
  std::atomic<std::uint64_t> searchCount{0};

  mutable std::mutex faultsMutex;
  Faults faults;

  std::mutex stopMutex;
  std::condition_variable stopSignal;
  bool stopping = false;
};

bool SandboxServer::Impl::Wait(int milliseconds) {
  std::unique_lock lock(stopMutex);
  return !stopSignal.wait_for(lock, std::chrono::milliseconds(milliseconds),
                              [this] { return stopping; });
}

std::shared_ptr<sim::Session> SandboxServer::Impl::SessionOf(
    const httplib::Request& request) const {
  const std::optional<std::string> id = CookieValue(CookieHeader(request), "cookie2");
  return id ? sessions.Find(*id) : nullptr;
}

void SandboxServer::Impl::Route() {
  http.Get("/items/search.json",
           [this](const httplib::Request& rq, httplib::Response& rs) { Search(rq, rs); });
  http.Get("/member/login.jhtml",
           [this](const httplib::Request& rq, httplib::Response& rs) { LoginForm(rq, rs); });
  http.Post("/member/login.jhtml",
            [this](const httplib::Request& rq, httplib::Response& rs) { LoginSubmit(rq, rs); });
  http.Get("/sandbox/callback",
           [this](const httplib::Request& rq, httplib::Response& rs) { Callback(rq, rs); });
  http.Get("/keywords/guolv.txt",
           [this](const httplib::Request& rq, httplib::Response& rs) { FilterList(rq, rs); });
  http.Get("/", [this](const httplib::Request& rq, httplib::Response& rs) {
    if (HostOf(rq) == HostKind::kLogin) {
      LoginForm(rq, rs);
    } else {
      Home(rq, rs);
    }
  });
}

void SandboxServer::Impl::Search(const httplib::Request& request, httplib::Response& response) {
  const HostKind host = HostOf(request);
  if (host != HostKind::kPublisher && host != HostKind::kAbsent) {
    return WrongHost(response, kPublisherName);
  }
  const std::uint64_t number = ++searchCount;
  Faults active;
  {
    std::lock_guard lock(faultsMutex);
    active = faults;
  }
  if (active.latencyMs > 0 && !Wait(active.latencyMs)) {
    response.status = 503;
    return;
  }
  const bool faulty =
      active.faultEvery <= 1 || number % static_cast<std::uint64_t>(active.faultEvery) == 0;
  if (faulty && active.resetConnection) {
    AbortConnection(request.local_port, request.remote_port);
    response.status = 500;  // only if the abort found no socket
    return;
  }
  if (faulty && active.failStatus > 0) {
    response.status = active.failStatus;
    response.set_content(MessageHtml(std::to_string(active.failStatus), "系统繁忙，请稍后再试。"),
                         kHtml);
    return;
  }
  if (faulty && active.nonJsonBody) {
    response.set_content(MessageHtml("系统繁忙", "亲，访问受限了，请稍后再试。"), kHtml);
    return;
  }

  const SearchQuery query = ReadSearchQuery(request.params);
  const std::shared_ptr<const KeywordItems> items = catalogue.ItemsFor(query.keyword);
  const std::string searchUrl =
      "/items/search.json?q=" + text::PercentEncode(items->keyword, [](unsigned char c) {
        return std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~';
      });
  const std::shared_ptr<sim::Session> session = SessionOf(request);
  const std::string token = request.get_param_value("_tb_token_");
  auto body = std::make_shared<std::string>();
  if (!session || token.empty() || token != session->token) {
    PageInfo info;
    info.page = query.page;
    info.perPageSize = query.perPageSize;
    *body = NotLoginAnswerJson(info, searchUrl);
  } else {
    PageSlice page = SelectPage(*items, query);
    if (faulty && active.hugeBodyBytes > 0) {
      // The page's items over and over (all of the keyword's when the page is empty).
      std::vector<const std::string*> source = page.itemJson;
      if (source.empty()) {
        for (const std::string& json : items->itemJson) source.push_back(&json);
      }
      while (page.bytes < active.hugeBodyBytes) {
        for (const std::string* json : source) {
          page.itemJson.push_back(json);
          page.bytes += json->size() + 1;
        }
      }
    }
    *body = SearchAnswerJson(page.info, searchUrl, page.itemJson, page.bytes);

    const std::uint64_t answer = ++session->answers;
    if (answer % kRenewEvery == 0) {
      std::string cookie = "t=" + RenewalValue(*session, answer, 1) + "; Path=/";
      if (IsSandboxName(request)) cookie += "; Domain=" + std::string(kCookieDomainSuffix);
      response.set_header("Set-Cookie", cookie);
    }
    if (answer % kHttpOnlyRenewEvery == 0) {
      response.set_header("Set-Cookie", "isg=" + RenewalValue(*session, answer, 2) +
                                            "; Expires=Thu, 31 Dec 2099 23:59:59 GMT; Path=/; "
                                            "HttpOnly");
    }
  }

  if (faulty && active.truncateBody) {
    const std::size_t half = body->size() / 2;
    response.set_content_provider(
        body->size(), kJson,
        [body, half](std::size_t offset, std::size_t, httplib::DataSink& sink) {
          if (offset >= half) return false;  // the server then drops the connection
          sink.write(body->data() + offset, half - offset);
          return true;
        });
    return;
  }
  response.set_content(*body, kJson);
}

void SandboxServer::Impl::LoginForm(const httplib::Request& request, httplib::Response& response) {
  if (HostOf(request) != HostKind::kLogin && HostOf(request) != HostKind::kAbsent) {
    return WrongHost(response, kLoginName);
  }
  response.set_content(LoginFormHtml("", ""), kHtml);
}

void SandboxServer::Impl::LoginSubmit(const httplib::Request& request,
                                      httplib::Response& response) {
  if (HostOf(request) != HostKind::kLogin && HostOf(request) != HostKind::kAbsent) {
    return WrongHost(response, kLoginName);
  }
  std::string userName = request.get_param_value("username");
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!userName.empty() && blank(userName.back())) userName.pop_back();
  userName.erase(userName.begin(), std::find_if_not(userName.begin(), userName.end(), blank));
  if (userName.empty()) {
    response.set_content(LoginFormHtml("请输入账户名。", ""), kHtml);
    return;
  }
  if (!text::IsValidUtf8(userName)) userName = text::Cp936ToUtf8(userName);
  const std::string ticket = sessions.IssueTicket(userName);
  response.set_header("Set-Cookie", "login_sid=" + ticket.substr(3, 16) + "; Path=/; HttpOnly");
  response.set_redirect("http://" + Host(kPublisherName) + "/sandbox/callback?ticket=" + ticket);
}

void SandboxServer::Impl::Callback(const httplib::Request& request, httplib::Response& response) {
  if (HostOf(request) != HostKind::kPublisher && HostOf(request) != HostKind::kAbsent) {
    return WrongHost(response, kPublisherName);
  }
  const std::shared_ptr<sim::Session> session =
      sessions.RedeemTicket(request.get_param_value("ticket"));
  if (!session) {
    response.status = 403;
    response.set_content(MessageHtml("登录失败", "登录凭证无效或已使用，请重新登录。"), kHtml);
    return;
  }
  response.set_header("Set-Cookie", "cookie2=" + session->id + "; Path=/; HttpOnly");
  response.set_header("Set-Cookie", "_tb_token_=" + session->token + "; Path=/");
  response.set_header("Set-Cookie", "t=" + RenewalValue(*session, 0, 1) + "; Path=/");
  response.set_redirect("http://" + Host(kPublisherName) + "/");
}

void SandboxServer::Impl::Home(const httplib::Request& request, httplib::Response& response) {
  if (HostOf(request) != HostKind::kPublisher && HostOf(request) != HostKind::kAbsent) {
    return WrongHost(response, kPublisherName);
  }
  const std::shared_ptr<sim::Session> session = SessionOf(request);
  response.set_content(PublisherHomeHtml(session ? &session->userName : nullptr,
                                         "http://" + Host(kLoginName) + "/member/login.jhtml"),
                       kHtml);
}

void SandboxServer::Impl::FilterList(const httplib::Request& request, httplib::Response& response) {
  if (HostOf(request) != HostKind::kFilterList && HostOf(request) != HostKind::kAbsent) {
    return WrongHost(response, kFilterListName);
  }
  response.set_content(filterListCp936, "text/plain; charset=gbk");
}

SandboxServer::SandboxServer(SandboxOptions options) : impl_(std::make_unique<Impl>(options)) {}

SandboxServer::~SandboxServer() {
  Stop();
}

void SandboxServer::Start() {
  Impl& impl = *impl_;
  if (impl.started) throw std::logic_error("the sandbox server was already started");
  if (impl.options.port < 0 || impl.options.port > 65535) {
    throw std::runtime_error("invalid port " + std::to_string(impl.options.port));
  }
  impl.started = true;

  // Not the library's default, which also sets SO_REUSEPORT and so lets a second server
  // share a port that is in use.
  impl.http.set_socket_options([](socket_t sock) {
    int yes = 1;
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  });
  const int threads = std::max(2, impl.options.threads);
  impl.http.new_task_queue = [threads] { return new httplib::ThreadPool(threads); };
  impl.http.set_tcp_nodelay(true);
  impl.http.set_keep_alive_max_count(100000);
  impl.http.set_keep_alive_timeout(5);
  impl.Route();

  if (impl.options.port == 0) {
    impl.port = impl.http.bind_to_any_port(kLoopback);
  } else if (impl.http.bind_to_port(kLoopback, impl.options.port)) {
    impl.port = impl.options.port;
  } else {
    impl.port = -1;
  }
  if (impl.port <= 0) {
    impl.port = 0;
    throw std::runtime_error("cannot listen on 127.0.0.1:" + std::to_string(impl.options.port) +
                             " (port in use or not permitted)");
  }
  impl.listener = std::thread([&impl] { impl.http.listen_after_bind(); });
  // stop() before the listener runs would be lost, so Start returns only once it runs.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!impl.http.is_running() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  if (!impl.http.is_running()) {
    Stop();
    throw std::runtime_error("the sandbox server did not start listening");
  }
}

void SandboxServer::Stop() {
  Impl& impl = *impl_;
  if (!impl.started || impl.stopped) return;
  impl.stopped = true;
  {
    std::lock_guard lock(impl.stopMutex);
    impl.stopping = true;
  }
  impl.stopSignal.notify_all();
  impl.http.stop();
  if (impl.listener.joinable()) impl.listener.join();
}

int SandboxServer::Port() const {
  return impl_->port;
}
std::string SandboxServer::PublisherHost() const {
  return impl_->Host(kPublisherName);
}
std::string SandboxServer::LoginHost() const {
  return impl_->Host(kLoginName);
}
std::string SandboxServer::FilterListHost() const {
  return impl_->Host(kFilterListName);
}
std::string SandboxServer::BaseUrl() const {
  return "http://" + PublisherHost();
}
std::string SandboxServer::LoginUrl() const {
  return "http://" + LoginHost() + "/member/login.jhtml";
}
std::string SandboxServer::FilterListUrl() const {
  return "http://" + FilterListHost() + "/keywords/guolv.txt";
}

SandboxServer::Session SandboxServer::CreateSession() {
  const std::shared_ptr<sim::Session> session = impl_->sessions.CreateSession("sandbox");
  return {"cookie2=" + session->id + "; _tb_token_=" + session->token +
              "; t=" + RenewalValue(*session, 0, 1),
          session->token};
}

void SandboxServer::SetFaults(const Faults& faults) {
  std::lock_guard lock(impl_->faultsMutex);
  impl_->faults = faults;
}

Faults SandboxServer::CurrentFaults() const {
  std::lock_guard lock(impl_->faultsMutex);
  return impl_->faults;
}

std::uint64_t SandboxServer::SearchRequestCount() const {
  return impl_->searchCount;
}

}  // namespace corvane::sim
