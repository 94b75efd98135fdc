// The libcurl transport against loopback servers: what goes on the wire, what comes back,
// limits, proxy, connection reuse.
#include <gtest/gtest.h>

#include <chrono>

#include "platform/download.h"
#include "platform/http_transport.h"
#include "platform/loopback.h"
#include "platform/wire_url.h"
#include "text/charset.h"

namespace corvane::platform {
namespace {

using corvane::testing::Gate;
using corvane::testing::LoopbackServer;
using corvane::testing::RawHeadRecorder;
using corvane::testing::RefusingPort;
using std::chrono::milliseconds;

std::string AsText(const Bytes& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

std::unique_ptr<HttpRequestObject> NewRequest(bool reuse = true) {
  auto request = CurlTransport(reuse)->CreateRequest();
  if (!request) throw std::runtime_error("no request object");
  return request;
}

TEST(WireUrl, EscapesOnlyWhatAUrlCannotCarry) {
  const std::string cp936Dress = text::Utf8ToCp936("连衣裙");
  const struct {
    std::string url;
    std::string wire;
  } cases[] = {
      {"http://h/p?a=1&b=%41#f", "http://h/p?a=1&b=%41#f"},
      {"http://h/p?q=a b", "http://h/p?q=a%20b"},
      {"http://h/p?q=" + cp936Dress, "http://h/p?q=%E8%BF%9E%E8%A1%A3%E8%A3%99"},
      {"http://h/p?q=\"<>\\^`{|}", "http://h/p?q=%22%3C%3E%5C%5E%60%7B%7C%7D"},
      {"http://h/p?q=\t\x7F", "http://h/p?q=%09%7F"},
      {"http://h/100%?x=~*'()!$+,;:@[]", "http://h/100%?x=~*'()!$+,;:@[]"},
  };
  for (const auto& c : cases) EXPECT_EQ(WireUrl(c.url), c.wire) << c.url;
}

TEST(CurlTransport, SendsTheRequestLineAndHeaderLinesExactlyAsSet) {
  RawHeadRecorder recorder;
  const std::string url = recorder.Url("/s?q=" + text::Utf8ToCp936("连衣裙") + " a&x=%41&y=");
  {
    auto request = NewRequest();
    ASSERT_TRUE(request->Open("GET", url));
    ASSERT_TRUE(request->SetRequestHeader("X-First", "1"));
    ASSERT_TRUE(request->SetRequestHeader("accept", "text/html"));
    ASSERT_TRUE(request->SetRequestHeader("Accept", "*/*"));
    ASSERT_TRUE(request->SetRequestHeader("X-Empty", ""));
    ASSERT_TRUE(request->SetRequestHeader("X-Text", text::Utf8ToCp936("裙子")));
    ASSERT_TRUE(request->Send({}));
    EXPECT_EQ(AsText(request->ResponseBody()), "ok");
  }
  {
    auto bare = NewRequest();
    ASSERT_TRUE(bare->Open("GET", recorder.Url("/bare")));
    ASSERT_TRUE(bare->Send({}));
  }
  const auto heads = recorder.Heads();
  ASSERT_EQ(heads.size(), 2u);
  EXPECT_EQ(heads[0].substr(0, heads[0].find("\r\n")),
            "GET /s?q=%E8%BF%9E%E8%A1%A3%E8%A3%99%20a&x=%41&y= HTTP/1.1");
  EXPECT_EQ(
      recorder.HeaderLines(0),
      (std::vector<std::string>{"Host: 127.0.0.1:" + std::to_string(recorder.port()), "X-First: 1",
                                "accept: text/html", "Accept: */*", "X-Empty:", "X-Text: 裙子"}));
  // libcurl adds nothing of its own but Host: no Accept, no User-Agent.
  EXPECT_EQ(recorder.HeaderLines(1).size(), 1u);
}

TEST(CurlTransport, RefusesHeaderLinesThatWouldBreakTheRequest) {
  auto request = NewRequest();
  EXPECT_FALSE(request->SetRequestHeader("X", "1")) << "before Open";
  ASSERT_TRUE(request->Open("GET", "http://127.0.0.1:1/"));
  EXPECT_FALSE(request->SetRequestHeader("", ""));
  EXPECT_FALSE(request->SetRequestHeader("X:Y", "1"));
  EXPECT_FALSE(request->SetRequestHeader("X", "1\r\nInjected: yes"));
  EXPECT_FALSE(request->SetRequestHeader("X\n", "1"));
}

TEST(CurlTransport, OpenRefusesWhatIsNoHttpUrl) {
  auto request = NewRequest();
  EXPECT_FALSE(request->Open("GET", "no url at all"));
  EXPECT_FALSE(request->Open("GET", "ftp://127.0.0.1/file"));
  EXPECT_FALSE(request->Open("BAD METHOD", "http://127.0.0.1/"));
  EXPECT_FALSE(request->Send({})) << "a refused Open leaves nothing to send";
}

class CurlTransportServer : public ::testing::Test {
 protected:
  void SetUp() override {
    auto& s = server_.server();
    s.Get("/from", [](const httplib::Request&, httplib::Response& res) {
      res.set_header("X-First", "yes");
      res.set_redirect("/to");
      res.set_content("moved", "text/plain");
    });
    s.Get("/to", [](const httplib::Request&, httplib::Response& res) {
      res.set_header("X-Final", "yes");
      res.set_header("X-Name", "连衣裙");  // UTF-8 on the wire
      res.set_content("final", "text/plain");
    });
    s.Get("/binary", [](const httplib::Request&, httplib::Response& res) {
      std::string body(50 * 1024, '\0');
      for (std::size_t i = 0; i < body.size(); ++i) body[i] = static_cast<char>(i * 7);
      res.set_content(body, "application/octet-stream");
    });
    s.Get("/missing", [](const httplib::Request&, httplib::Response& res) {
      res.status = 404;
      res.set_content("not here", "text/plain");
    });
    s.Get("/slow", [this](const httplib::Request&, httplib::Response& res) {
      slowGate_.Wait(milliseconds(20000));
      res.set_content("late", "text/plain");
    });
    s.Post("/post", [](const httplib::Request& req, httplib::Response& res) {
      res.set_content(req.body, "text/plain");
    });
    server_.Start();
  }
  void TearDown() override {
    slowGate_.Open();
    server_.Stop();
  }

  LoopbackServer server_;
  Gate slowGate_;
};

TEST_F(CurlTransportServer, GivesTheFinalAnswerOfARedirect) {
  auto request = NewRequest();
  ASSERT_TRUE(request->Open("GET", server_.Url("/from")));
  ASSERT_TRUE(request->Send({}));
  EXPECT_EQ(request->Status(), 200);
  EXPECT_EQ(AsText(request->ResponseBody()), "final");
  const std::string headers = request->AllResponseHeaders();
  EXPECT_EQ(headers.find("HTTP/"), std::string::npos) << headers;
  EXPECT_NE(headers.find("X-Final: yes\r\n"), std::string::npos) << headers;
  EXPECT_EQ(headers.find("X-First"), std::string::npos) << headers;
  EXPECT_NE(headers.find("X-Name: " + text::Utf8ToCp936("连衣裙")), std::string::npos);
  EXPECT_NE(headers.substr(headers.size() - 2), "\r\n") << "lines are joined, not ended";
}

TEST_F(CurlTransportServer, StopsAtTheRedirectWhenRedirectsAreOff) {
  auto request = NewRequest();
  ASSERT_TRUE(request->Open("GET", server_.Url("/from")));
  request->DisableRedirects();
  ASSERT_TRUE(request->Send({}));
  EXPECT_EQ(request->Status(), 302);
  EXPECT_EQ(AsText(request->ResponseBody()), "moved");
  EXPECT_NE(request->AllResponseHeaders().find("Location: /to"), std::string::npos);
  EXPECT_EQ(server_.Requests().size(), 1u);
}

TEST_F(CurlTransportServer, KeepsBinaryBodiesAndErrorAnswers) {
  auto request = NewRequest();
  ASSERT_TRUE(request->Open("GET", server_.Url("/binary")));
  ASSERT_TRUE(request->Send({}));
  const Bytes body = request->ResponseBody();
  ASSERT_EQ(body.size(), 50u * 1024);
  EXPECT_EQ(body[0], 0);
  EXPECT_EQ(body[1000], static_cast<std::uint8_t>(7000));

  ASSERT_TRUE(request->Open("GET", server_.Url("/missing")));
  ASSERT_TRUE(request->Send({})) << "an error status is still an answer";
  EXPECT_EQ(request->Status(), 404);
  EXPECT_EQ(AsText(request->ResponseBody()), "not here");
}

TEST_F(CurlTransportServer, PostsTheBodyWithoutHeadersOfItsOwn) {
  auto request = NewRequest();
  ASSERT_TRUE(request->Open("POST", server_.Url("/post")));
  const std::string payload(2 * 1024 * 1024, 'x');  // large enough for libcurl to want Expect
  ASSERT_TRUE(request->Send(Bytes(payload.begin(), payload.end())));
  EXPECT_EQ(request->ResponseBody().size(), payload.size());
  const auto requests = server_.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].headers.count("Expect"), 0u);
  EXPECT_EQ(requests[0].headers.count("Content-Type"), 0u);
  EXPECT_EQ(requests[0].headers.count("Accept"), 0u);
  EXPECT_EQ(server_.HeaderValues(0, "Content-Length"),
            std::vector<std::string>{std::to_string(payload.size())});
}

TEST_F(CurlTransportServer, ReusesConnectionsOnlyWhenAskedTo) {
  for (const bool reuse : {true, false}) {
    const auto transport = CurlTransport(reuse);
    for (int i = 0; i < 3; ++i) {
      auto request = transport->CreateRequest();
      ASSERT_TRUE(request->Open("GET", server_.Url("/to")));
      ASSERT_TRUE(request->Send({}));
    }
  }
  const auto requests = server_.Requests();
  ASSERT_EQ(requests.size(), 6u);
  EXPECT_EQ(requests[0].remotePort, requests[1].remotePort);
  EXPECT_EQ(requests[1].remotePort, requests[2].remotePort);
  EXPECT_NE(requests[3].remotePort, requests[4].remotePort);
  EXPECT_NE(requests[4].remotePort, requests[5].remotePort);
}

TEST_F(CurlTransportServer, GivesUpWhenTheAnswerTakesLongerThanTheReceiveLimit) {
  auto request = NewRequest();
  ASSERT_TRUE(request->SetTimeouts(1000, 1000, 1000, 300));
  ASSERT_TRUE(request->Open("GET", server_.Url("/slow")));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(request->Send({}));
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_GE(elapsed, milliseconds(290));
  EXPECT_LT(elapsed, milliseconds(2000));
  EXPECT_TRUE(request->ResponseBody().empty());
  EXPECT_TRUE(request->AllResponseHeaders().empty());
  EXPECT_EQ(request->Status(), 0);
  EXPECT_FALSE(request->SetTimeouts(-1, 0, 0, 0)) << "negative limits are refused";
}

TEST_F(CurlTransportServer, ZeroMeansNoLimit) {
  auto request = NewRequest();
  ASSERT_TRUE(request->SetTimeouts(0, 0, 0, 0));
  ASSERT_TRUE(request->Open("GET", server_.Url("/slow")));
  std::thread opener([this] {
    // Opens the gate once the request is waiting: a limit of 0 must not end the wait at once.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (server_.Requests().empty() && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::yield();
    }
    slowGate_.Open();
  });
  EXPECT_TRUE(request->Send({}));
  opener.join();
  EXPECT_EQ(AsText(request->ResponseBody()), "late");
}

TEST(CurlTransport, ARefusedConnectionFailsTheSend) {
  RefusingPort refusing;
  auto request = NewRequest();
  ASSERT_TRUE(request->Open("GET", refusing.Url("/")));
  EXPECT_FALSE(request->Send({}));
  EXPECT_TRUE(request->ResponseBody().empty());
  EXPECT_TRUE(request->AllResponseHeaders().empty());
}

TEST(CurlTransport, SendsThroughTheProxyWithItsCredentials) {
  LoopbackServer proxy;
  ServeAsAuthenticatingProxy(proxy, "via proxy");
  RefusingPort origin;  // never reached: the proxy answers

  auto request = NewRequest();
  ASSERT_TRUE(request->SetProxy("127.0.0.1:" + std::to_string(proxy.port())));
  ASSERT_TRUE(request->SetProxyCredentials("user", "secret", 1));
  ASSERT_TRUE(request->Open("GET", origin.Url("/page?x=1")));
  ASSERT_TRUE(request->Send({}));
  EXPECT_EQ(AsText(request->ResponseBody()), "via proxy");

  const auto requests = proxy.Requests();
  ASSERT_FALSE(requests.empty());
  EXPECT_EQ(requests.back().target, origin.Url("/page?x=1"));
  EXPECT_EQ(proxy.HeaderValues(requests.size() - 1, "Proxy-Authorization"),
            std::vector<std::string>{"Basic dXNlcjpzZWNyZXQ="});  // user:secret
  EXPECT_EQ(requests.back().headers.count("Proxy-Connection"), 0u);
  EXPECT_FALSE(request->SetProxyCredentials("user", "secret", 7)) << "unknown flags";
}

TEST_F(CurlTransportServer, DownloadGivesTheBodyOfSuccessfulAnswersOnly) {
  EXPECT_EQ(AsText(Download(server_.Url("/from"), 5000)), "final");
  EXPECT_TRUE(Download(server_.Url("/missing"), 5000).empty());
  RefusingPort refusing;
  EXPECT_TRUE(Download(refusing.Url("/"), 5000).empty());
}

}  // namespace
}  // namespace corvane::platform
