// WebClient on the real transport against loopback servers: what arrives, what comes back.
#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <thread>

#include "platform/loopback.h"
#include "text/charset.h"
#include "web/web_client.h"

namespace corvane::web {
namespace {

using corvane::testing::Gate;
using corvane::testing::LoopbackServer;
using corvane::testing::RawHeadRecorder;
using corvane::testing::RefusingPort;
using std::chrono::milliseconds;

const std::string kUserAgent = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";

std::string AsText(const platform::Bytes& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

TEST(WebClientOnTheWire, SendsTheCookieThenTheDefaultHeadersInOrder) {
  RawHeadRecorder recorder;
  const WebClient client;
  const std::string url = recorder.Url("/items/search.json?q=%E8%BF%9E&_tb_token_=t&t=1");
  std::string cookies = "a=1; b=2";
  EXPECT_EQ(AsText(client.HttpGet(url, &cookies)), "ok");

  std::string lowerAccept = "accept: text/html";
  client.HttpGet(url, nullptr, nullptr, &lowerAccept);

  const std::string host = "Host: 127.0.0.1:" + std::to_string(recorder.port());
  EXPECT_EQ(recorder.Heads().at(0).substr(0, recorder.Heads()[0].find("\r\n")),
            "GET /items/search.json?q=%E8%BF%9E&_tb_token_=t&t=1 HTTP/1.1");
  EXPECT_EQ(recorder.HeaderLines(0),
            (std::vector<std::string>{host, "Cookie: a=1; b=2", "Accept: */*", "Referer: " + url,
                                      "Accept-Language: zh-cn", "User-Agent: " + kUserAgent,
                                      "Content-Type: application/x-www-form-urlencoded"}));
  EXPECT_EQ(recorder.HeaderLines(1),
            (std::vector<std::string>{host, "accept: text/html", "Accept: */*", "Referer: " + url,
                                      "Accept-Language: zh-cn", "User-Agent: " + kUserAgent,
                                      "Content-Type: application/x-www-form-urlencoded"}));
}

TEST(WebClientOnTheWire, SendsAUrlWithABlankAndChineseText) {
  RawHeadRecorder recorder;
  const WebClient client;
  const std::string keyword = text::Utf8ToCp936("连衣裙");
  const std::string url = recorder.Url("/find?q=" + keyword + " x&rate=50%&b=%41");
  client.HttpGet(url);
  const std::string head = recorder.Heads().at(0);
  EXPECT_EQ(head.substr(0, head.find("\r\n")),
            "GET /find?q=%E8%BF%9E%E8%A1%A3%E8%A3%99%20x&rate=50%&b=%41 HTTP/1.1");
  // The Referer header carries the URL as the caller wrote it, in UTF-8.
  EXPECT_EQ(recorder.HeaderLines(0).at(2), "Referer: " + text::Cp936ToUtf8(url));
}

class WebClientLoopback : public ::testing::Test {
 protected:
  void SetUp() override {
    auto& s = server_.server();
    s.Get("/login", [](const httplib::Request&, httplib::Response& res) {
      res.set_header("Set-Cookie", "sid=new; Path=/");
      res.set_header("Set-Cookie", "tk=1; HttpOnly");
      res.set_content("welcome", "text/plain");
    });
    s.Get("/echo", [](const httplib::Request& req, httplib::Response& res) {
      res.set_content(req.get_header_value("Cookie"), "text/plain");
    });
    s.Get("/jump", [](const httplib::Request&, httplib::Response& res) {
      res.set_redirect("/land");
      res.set_content("jumping", "text/plain");
    });
    s.Get("/land", [](const httplib::Request&, httplib::Response& res) {
      res.set_content("landed", "text/plain");
    });
    s.Get("/canonical", [](const httplib::Request&, httplib::Response& res) {
      res.set_header("Content-Location", "/the-one");
      res.set_content("content", "text/plain");
    });
    s.Get("/slow", [this](const httplib::Request&, httplib::Response& res) {
      slowGate_.Wait(milliseconds(20000));
      res.set_content("late", "text/plain");
    });
    server_.Start();
  }
  void TearDown() override {
    slowGate_.Open();
    server_.Stop();
  }

  LoopbackServer server_;
  Gate slowGate_;
  WebClient client_;
};

TEST_F(WebClientLoopback, MergesSetCookiesAndCarriesThemOnTheNextRequest) {
  std::string cookies = "sid=old; u=7";
  std::string received;
  std::string responseHeaders;
  EXPECT_EQ(AsText(client_.HttpGet(server_.Url("/login"), &cookies, &received, nullptr, nullptr,
                                   false, {}, 0, {}, {}, 1, &responseHeaders)),
            "welcome");
  EXPECT_EQ(received, "sid=new;tk=1;");
  EXPECT_EQ(cookies, "sid=new; tk=1; u=7");
  EXPECT_NE(responseHeaders.find("Set-Cookie: tk=1; HttpOnly"), std::string::npos);

  EXPECT_EQ(AsText(client_.HttpGet(server_.Url("/echo"), &cookies)), "sid=new; tk=1; u=7");
  EXPECT_EQ(server_.HeaderValues(0, "Cookie"), std::vector<std::string>{"sid=old; u=7"});
}

TEST_F(WebClientLoopback, FollowsRedirectsUnlessToldNotTo) {
  std::string location = "none";
  EXPECT_EQ(AsText(client_.HttpGet(server_.Url("/jump"), nullptr, nullptr, nullptr, &location)),
            "landed");
  EXPECT_EQ(location, "none") << "the final answer has no Location line";

  EXPECT_EQ(AsText(client_.HttpGet(server_.Url("/jump"), nullptr, nullptr, nullptr, &location,
                                   /*noRedirect=*/true)),
            "jumping");
  EXPECT_EQ(location, "/land");
  const auto requests = server_.Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[1].target, "/land");
  EXPECT_EQ(requests[2].target, "/jump");
}

TEST_F(WebClientLoopback, TakesLocationFromAContentLocationLine) {
  std::string location;
  client_.HttpGet(server_.Url("/canonical"), nullptr, nullptr, nullptr, &location);
  EXPECT_EQ(location, "/the-one");
}

TEST_F(WebClientLoopback, GivesUpOnASlowServerAfterTheTimeout) {
  std::string cookies = "a=1;  b=2";
  std::string responseHeaders = "old";
  const auto start = std::chrono::steady_clock::now();
  const platform::Bytes body =
      client_.HttpGet(server_.Url("/slow"), &cookies, nullptr, nullptr, nullptr, false, {},
                      /*timeout=*/1, {}, {}, 1, &responseHeaders);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_TRUE(body.empty());
  EXPECT_GE(elapsed, milliseconds(950));
  EXPECT_LT(elapsed, milliseconds(3000));
  EXPECT_EQ(responseHeaders, "");
  EXPECT_EQ(cookies, "a=1; b=2") << "the merge runs after a failed send too";
}

TEST_F(WebClientLoopback, SendsCredentialsOnlyThroughAProxy) {
  LoopbackServer proxy;
  ServeAsAuthenticatingProxy(proxy, "from proxy");
  const std::string proxyServer = "127.0.0.1:" + std::to_string(proxy.port());

  EXPECT_EQ(AsText(client_.HttpGet(server_.Url("/land?x=1"), nullptr, nullptr, nullptr, nullptr,
                                   false, proxyServer, 0, "alice", "pw")),
            "from proxy");
  const auto viaProxy = proxy.Requests();
  ASSERT_FALSE(viaProxy.empty());
  EXPECT_EQ(viaProxy.back().target, server_.Url("/land?x=1"));
  EXPECT_EQ(proxy.HeaderValues(viaProxy.size() - 1, "Proxy-Authorization"),
            std::vector<std::string>{"Basic YWxpY2U6cHc="});  // alice:pw
  EXPECT_TRUE(server_.Requests().empty()) << "the proxy answered";

  EXPECT_EQ(AsText(client_.HttpGet(server_.Url("/land"), nullptr, nullptr, nullptr, nullptr, false,
                                   {}, 0, "alice", "pw")),
            "landed");
  const auto direct = server_.Requests();
  ASSERT_EQ(direct.size(), 1u);
  EXPECT_EQ(direct[0].headers.count("Proxy-Authorization"), 0u);
  EXPECT_EQ(direct[0].headers.count("Authorization"), 0u);
}

TEST_F(WebClientLoopback, ServesSeveralThreadsAtOnceEachWithItsOwnCookies) {
  constexpr int kThreads = 4;
  constexpr int kRequests = 25;
  std::vector<std::string> lastEcho(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      std::string cookies = "thread=" + std::to_string(t);
      client_.HttpGet(server_.Url("/login"), &cookies);
      for (int i = 0; i < kRequests; ++i) {
        lastEcho[t] = AsText(client_.HttpGet(server_.Url("/echo"), &cookies));
      }
    });
  }
  for (auto& thread : threads) thread.join();
  for (int t = 0; t < kThreads; ++t) {
    EXPECT_EQ(lastEcho[t], "sid=new; tk=1; thread=" + std::to_string(t));
  }
  std::set<int> ports;
  for (const auto& request : server_.Requests()) ports.insert(request.remotePort);
  EXPECT_EQ(server_.Requests().size(), std::size_t{kThreads * (kRequests + 1)});
  EXPECT_LE(ports.size(), std::size_t{kThreads}) << "each thread keeps its connection";
}

TEST(WebClientRefused, GivesEmptyBytesAndStillMerges) {
  RefusingPort refusing;
  const WebClient client;
  std::string cookies = "a=1;  a=2; z=deleted";
  std::string received = "n = 1;";
  std::string location = "kept";
  std::string responseHeaders = "old";
  EXPECT_TRUE(client
                  .HttpGet(refusing.Url("/"), &cookies, &received, nullptr, &location, false, {}, 0,
                           {}, {}, 1, &responseHeaders)
                  .empty());
  EXPECT_EQ(cookies, "n=1; a=1");
  EXPECT_EQ(received, "n=1;");
  EXPECT_EQ(location, "kept");
  EXPECT_EQ(responseHeaders, "");
}

}  // namespace
}  // namespace corvane::web
