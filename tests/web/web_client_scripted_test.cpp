// WebClient against a scripted transport: the calls it makes on the request object, and what
// it does with the scripted answer.
#include <gtest/gtest.h>

#include <climits>

#include "web/web_client.h"

namespace corvane::web {
namespace {

using platform::Bytes;

// What the scripted request object answers, and the log of every call made on it.
struct Script {
  bool canCreate = true;
  bool sendSucceeds = true;
  std::string body;
  std::string responseHeaders;
  std::vector<std::string> calls;
};

class ScriptedRequest final : public platform::HttpRequestObject {
 public:
  explicit ScriptedRequest(Script& script) : script_(script) {}
  bool SetTimeouts(int resolve, int connect, int send, int receive) override {
    Log("SetTimeouts " + std::to_string(resolve) + " " + std::to_string(connect) + " " +
        std::to_string(send) + " " + std::to_string(receive));
    return true;
  }
  bool SetProxy(const std::string& server) override {
    Log("SetProxy " + server);
    return true;
  }
  bool SetProxyCredentials(const std::string& user, const std::string& password,
                           int flags) override {
    Log("SetProxyCredentials " + user + " " + password + " " + std::to_string(flags));
    return true;
  }
  bool Open(const std::string& method, const std::string& url) override {
    Log("Open " + method + " " + url);
    return true;
  }
  void DisableRedirects() override { Log("DisableRedirects"); }
  bool SetRequestHeader(const std::string& name, const std::string& value) override {
    Log("SetRequestHeader " + name + "|" + value);
    return !name.empty();
  }
  bool Send(const Bytes& body) override {
    Log("Send " + std::string(body.begin(), body.end()));
    sent_ = script_.sendSucceeds;
    return sent_;
  }
  Bytes ResponseBody() const override {
    return sent_ ? Bytes(script_.body.begin(), script_.body.end()) : Bytes{};
  }
  std::string AllResponseHeaders() const override {
    return sent_ ? script_.responseHeaders : std::string{};
  }
  int Status() const override { return sent_ ? 200 : 0; }

 private:
  void Log(std::string call) { script_.calls.push_back(std::move(call)); }
  Script& script_;
  bool sent_ = false;
};

class ScriptedTransport final : public platform::HttpTransport {
 public:
  explicit ScriptedTransport(Script& script) : script_(script) {}
  std::unique_ptr<platform::HttpRequestObject> CreateRequest() override {
    if (!script_.canCreate) return nullptr;
    return std::make_unique<ScriptedRequest>(script_);
  }

 private:
  Script& script_;
};

const std::string kUrl = "http://pub.test/items/search.json?q=x";
const std::string kUserAgent = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";
const std::string kDefaultHeaderText = "Accept: */*\r\nReferer: " + kUrl +
                                       "\r\nAccept-Language: zh-cn\r\nUser-Agent: " + kUserAgent +
                                       "\r\nContent-Type: application/x-www-form-urlencoded";

std::vector<std::string> DefaultHeaderCalls(const std::string& url) {
  return {"SetRequestHeader Accept|*/*", "SetRequestHeader Referer|" + url,
          "SetRequestHeader Accept-Language|zh-cn", "SetRequestHeader User-Agent|" + kUserAgent,
          "SetRequestHeader Content-Type|application/x-www-form-urlencoded"};
}

class WebClientScripted : public ::testing::Test {
 protected:
  std::vector<std::string> CallsStartingWith(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const auto& call : script_.calls) {
      if (call.starts_with(prefix)) found.push_back(call);
    }
    return found;
  }

  Script script_;
  WebClient client_{std::make_shared<ScriptedTransport>(script_)};
};

TEST_F(WebClientScripted, DrivesTheRequestObjectStepByStep) {
  std::string cookies = "a=1";
  std::string extra;
  client_.HttpGet(kUrl, &cookies, nullptr, &extra, nullptr, /*noRedirect=*/true, "proxy:8080",
                  /*timeout=*/1, "user", "pw", /*proxyFlags=*/0);
  std::vector<std::string> expected = {"SetTimeouts 1000 1000 1000 1000",
                                       "SetProxy proxy:8080",
                                       "SetProxyCredentials user pw 0",
                                       "Open GET " + kUrl,
                                       "DisableRedirects",
                                       "SetRequestHeader Cookie|a=1"};
  for (const auto& call : DefaultHeaderCalls(kUrl)) expected.push_back(call);
  expected.push_back("Send ");
  EXPECT_EQ(script_.calls, expected);
  EXPECT_EQ(extra, kDefaultHeaderText);
}

TEST_F(WebClientScripted, TheSearchCallSendsDefaultsWithoutLimitsOrProxy) {
  std::string sessionCookies = "s=1";
  client_.HttpGet(kUrl, &sessionCookies);
  std::vector<std::string> expected = {"SetTimeouts 0 0 0 0", "Open GET " + kUrl,
                                       "SetRequestHeader Cookie|s=1"};
  for (const auto& call : DefaultHeaderCalls(kUrl)) expected.push_back(call);
  expected.push_back("Send ");
  EXPECT_EQ(script_.calls, expected);
}

TEST_F(WebClientScripted, MapsTheTimeoutToMilliseconds) {
  const std::pair<int, std::string> cases[] = {
      {-1, ""},  // the transport's own limits
      {0, "SetTimeouts 0 0 0 0"},
      {1, "SetTimeouts 1000 1000 1000 1000"},
      {2, "SetTimeouts 15000 15000 15000 15000"},
      {5, "SetTimeouts 15000 15000 15000 15000"},
      {INT_MAX, "SetTimeouts 15000 15000 15000 15000"},
      {-3, "SetTimeouts -3000 -3000 -3000 -3000"},  // refused by the object
      {INT_MIN, "SetTimeouts " + std::to_string(INT_MIN) + " " + std::to_string(INT_MIN) + " " +
                    std::to_string(INT_MIN) + " " + std::to_string(INT_MIN)},
  };
  for (const auto& [timeout, call] : cases) {
    script_.calls.clear();
    client_.HttpGet(kUrl, nullptr, nullptr, nullptr, nullptr, false, {}, timeout);
    const auto calls = CallsStartingWith("SetTimeouts");
    EXPECT_EQ(calls, call.empty() ? std::vector<std::string>{} : std::vector<std::string>{call})
        << "timeout " << timeout;
  }
}

TEST_F(WebClientScripted, UsesCredentialsOnlyWithAProxy) {
  const struct {
    std::string proxy, user;
    int flags;
    std::vector<std::string> calls;
  } cases[] = {
      {"", "user", 1, {}},
      {"p:1", "", 1, {"SetProxy p:1"}},
      {"p:1", "user", 1, {"SetProxy p:1", "SetProxyCredentials user pw 1"}},
  };
  for (const auto& c : cases) {
    script_.calls.clear();
    client_.HttpGet(kUrl, nullptr, nullptr, nullptr, nullptr, false, c.proxy, 0, c.user, "pw",
                    c.flags);
    EXPECT_EQ(CallsStartingWith("SetProxy"), c.calls) << c.proxy << "/" << c.user;
  }
  script_.calls.clear();
  client_.HttpPost(kUrl, {}, nullptr, nullptr, nullptr, nullptr, false, {}, "p:1", 0, "u", "pw");
  EXPECT_EQ(CallsStartingWith("SetProxyCredentials"),
            std::vector<std::string>{"SetProxyCredentials u pw 1"})
      << "flags default to 1: credentials for the proxy";
}

TEST_F(WebClientScripted, CompletesTheCallersHeaderLines) {
  const std::string ua = "User-Agent: " + kUserAgent;
  const std::string form = "Content-Type: application/x-www-form-urlencoded";
  const struct {
    std::string given;
    std::string completed;
  } cases[] = {
      {"", kDefaultHeaderText},
      // The markers are searched case-sensitively: a lower-case Accept line gets a second one.
      {"accept: text/html", "accept: text/html\r\nAccept: */*\r\nReferer: " + kUrl +
                                "\r\nAccept-Language: zh-cn\r\n" + ua + "\r\n" + form},
      // "Accept-Encoding:" does not contain "Accept:".
      {"Accept-Encoding: gzip", "Accept-Encoding: gzip\r\nAccept: */*\r\nReferer: " + kUrl +
                                    "\r\nAccept-Language: zh-cn\r\n" + ua + "\r\n" + form},
      // A caller's own line replaces the default, wherever it stands.
      {"X: 1\r\nReferer: http://r/\r\nUser-Agent: me",
       "X: 1\r\nReferer: http://r/\r\nUser-Agent: me\r\nAccept: */*\r\nAccept-Language: zh-cn\r\n" +
           form},
  };
  for (const auto& c : cases) {
    std::string headers = c.given;
    client_.HttpGet(kUrl, nullptr, nullptr, &headers);
    EXPECT_EQ(headers, c.completed) << c.given;
  }
}

TEST_F(WebClientScripted, SetsEachNonEmptyLineAsOneHeader) {
  std::string headers = "accept: text/html\r\n\r\nno colon here\r\nX-Wide: \xA1\xA1v \xA1\xA1";
  client_.HttpGet(kUrl, nullptr, nullptr, &headers);
  std::vector<std::string> expected = {"SetRequestHeader accept|text/html",
                                       "SetRequestHeader |",  // refused by the object
                                       "SetRequestHeader X-Wide|v"};
  const auto defaults = DefaultHeaderCalls(kUrl);
  expected.insert(expected.end(), defaults.begin(), defaults.end());
  EXPECT_EQ(CallsStartingWith("SetRequestHeader"), expected);

  // Only a text holding every marker stays one line; it is then set as one header.
  script_.calls.clear();
  std::string oneLine = "Accept:Referer:Accept-Language:User-Agent:Content-Type:";
  client_.HttpGet(kUrl, nullptr, nullptr, &oneLine);
  EXPECT_EQ(CallsStartingWith("SetRequestHeader"),
            std::vector<std::string>{
                "SetRequestHeader Accept|Referer:Accept-Language:User-Agent:Content-Type:"});
}

TEST_F(WebClientScripted, PostSendsTheBytesOrElseTheTextAsUtf8) {
  client_.HttpPost(kUrl, "text");
  client_.HttpPost(kUrl, "text", nullptr, nullptr, nullptr, nullptr, false, Bytes{'b', 'i', 'n'});
  client_.HttpPost(kUrl, "\xC1\xAC");  // 连 in CP936
  client_.HttpPost(kUrl);
  EXPECT_EQ(CallsStartingWith("Send"),
            (std::vector<std::string>{"Send text", "Send bin", "Send 连", "Send "}));
  EXPECT_EQ(CallsStartingWith("Open").front(), "Open POST " + kUrl);
}

TEST_F(WebClientScripted, HandsBackHeadersLocationAndCookies) {
  script_.body = "answer";
  script_.responseHeaders =
      "Content-Type: text/html\r\n"
      "Set-Cookie: a=1; Path=/\r\n"
      "Location: http://first/\r\n"
      "Set-Cookie: b=2; HttpOnly\r\n"
      "Content-Location: http://last/";
  std::string cookies = "c=3; a=0";
  std::string received;
  std::string location = "unchanged";
  std::string responseHeaders = "old";
  const Bytes body = client_.HttpGet(kUrl, &cookies, &received, nullptr, &location, false, {}, 0,
                                     {}, {}, 1, &responseHeaders);
  EXPECT_EQ(std::string(body.begin(), body.end()), "answer");
  EXPECT_EQ(responseHeaders, script_.responseHeaders);
  EXPECT_EQ(location, "http://last/") << "the last line holding \"Location:\" counts";
  EXPECT_EQ(received, "a=1;b=2;");
  EXPECT_EQ(cookies, "a=1; b=2; c=3");
}

TEST_F(WebClientScripted, AppendsToTheReceivedCookiesOfEarlierRequests) {
  script_.responseHeaders = "Set-Cookie: n=2; Path=/";
  std::string cookies;
  std::string received = "m=1;";
  client_.HttpGet(kUrl, &cookies, &received);
  EXPECT_EQ(received, "m=1;n=2;");
  EXPECT_EQ(cookies, "m=1; n=2");
}

TEST_F(WebClientScripted, TakesTheWholePairOfASetCookieLineWithoutAttributes) {
  script_.responseHeaders = "Set-Cookie: plain=v\r\nSet-Cookie:\r\nSet-Cookie2: odd=1";
  std::string cookies = "old=1";
  std::string received;
  client_.HttpGet(kUrl, &cookies, &received);
  EXPECT_EQ(received, "plain=v;;;");
  EXPECT_EQ(cookies, "plain=v; ; old=1");
}

TEST_F(WebClientScripted, LeavesLocationAloneWithoutALocationLine) {
  script_.responseHeaders = "Content-Type: text/plain";
  std::string location = "before";
  client_.HttpGet(kUrl, nullptr, nullptr, nullptr, &location);
  EXPECT_EQ(location, "before");
}

TEST_F(WebClientScripted, AFailedSendStillNormalisesTheCookies) {
  script_.sendSucceeds = false;
  script_.responseHeaders = "Set-Cookie: never=1; Path=/";
  std::string cookies = "a=1;  b=2; x=deleted; a=1";
  std::string received = "r = 1;";
  std::string location = "kept";
  std::string responseHeaders = "old";
  const Bytes body = client_.HttpGet(kUrl, &cookies, &received, nullptr, &location, false, {}, 0,
                                     {}, {}, 1, &responseHeaders);
  EXPECT_TRUE(body.empty());
  EXPECT_EQ(responseHeaders, "");
  EXPECT_EQ(location, "kept");
  EXPECT_EQ(received, "r=1;");
  EXPECT_EQ(cookies, "r=1; a=1; b=2");
}

TEST_F(WebClientScripted, WithoutARequestObjectNothingIsTouched) {
  script_.canCreate = false;
  std::string cookies = "a=1;  b=2";
  std::string received = "r = 1";
  std::string headers = "X: 1";
  std::string location = "loc";
  std::string responseHeaders = "old";
  EXPECT_TRUE(client_
                  .HttpGet(kUrl, &cookies, &received, &headers, &location, false, "p:1", 1, "u",
                           "pw", 1, &responseHeaders)
                  .empty());
  EXPECT_TRUE(client_
                  .HttpPost(kUrl, "body", &cookies, &received, &headers, &location, false, {},
                            "p:1", 1, "u", "pw", 1, &responseHeaders)
                  .empty());
  EXPECT_EQ(cookies, "a=1;  b=2");
  EXPECT_EQ(received, "r = 1");
  EXPECT_EQ(headers, "X: 1");
  EXPECT_EQ(location, "loc");
  EXPECT_EQ(responseHeaders, "old");
  EXPECT_TRUE(script_.calls.empty());
}

TEST(WebClientHeaderLine, SplitsAtTheFirstColonAndTrims) {
  const struct {
    std::string line, name, value;
  } cases[] = {
      {"Name: value", "Name", "value"},
      {" Location : http://h:80/p ", "Location", "http://h:80/p"},
      {"Name:", "Name", ""},
      {"no colon", "", ""},
      {"\tName:\tv\r", "\tName", "\tv\r"},  // only blanks and full-width spaces are trimmed
      {"\xA1\xA1N\xA1\xA1:\xA1\xA1v", "N", "v"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WebClient::HeaderLineName(c.line), c.name) << c.line;
    EXPECT_EQ(WebClient::HeaderLineValue(c.line), c.value) << c.line;
  }
}

}  // namespace
}  // namespace corvane::web
