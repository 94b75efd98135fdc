// The sandbox sign-in over loopback: form, submit, callback, and the cookies it leaves
// making a search succeed.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sandbox_fixture.h"
#include "text/charset.h"

namespace corvane::sim::testing {
namespace {

using ::testing::HasSubstr;

using SignInTest = SandboxTest;

std::vector<std::string> SetCookieLines(const httplib::Response& response) {
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < response.get_header_value_count("Set-Cookie"); ++i) {
    lines.push_back(response.get_header_value("Set-Cookie", i));
  }
  return lines;
}

httplib::Result Submit(const SandboxServer& server, const std::string& form) {
  httplib::Client client("127.0.0.1", server.Port());
  return client.Post("/member/login.jhtml", {{"Host", server.LoginHost()}}, form,
                     "application/x-www-form-urlencoded");
}

TEST_F(SignInTest, ServesTheFormOnTheLoginHost) {
  const httplib::Result form = Get("/member/login.jhtml?style=minisimple&from=alimama", "login");
  ASSERT_TRUE(form);
  EXPECT_EQ(form->status, 200);
  EXPECT_THAT(form->get_header_value("Content-Type"), HasSubstr("charset=utf-8"));
  EXPECT_TRUE(text::IsValidUtf8(form->body));
  for (const char* part : {"<form method=\"post\"", "name=\"username\"", "name=\"password\"",
                           "type=\"submit\"", "账户名", "密码", "登录"}) {
    EXPECT_THAT(form->body, HasSubstr(part));
  }
  EXPECT_EQ(Get("/member/login.jhtml", "pub")->status, 404);
}

TEST_F(SignInTest, EmptyUserNameShowsTheFormAgain) {
  for (const std::string form : {"username=&password=x", "username=+%20&password=", "password=x"}) {
    const httplib::Result result = Submit(server_, form);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 200) << form;
    EXPECT_FALSE(result->has_header("Location")) << form;
    EXPECT_THAT(result->body, HasSubstr("请输入账户名")) << form;
    EXPECT_THAT(result->body, HasSubstr("name=\"username\"")) << form;
  }
}

TEST_F(SignInTest, SignInLeavesCookiesThatMakeASearchSucceed) {
  const httplib::Result submitted = Submit(server_, "username=%E5%BC%A0%E4%B8%89&password=1");
  ASSERT_TRUE(submitted);
  ASSERT_EQ(submitted->status, 302);
  const std::string location = submitted->get_header_value("Location");
  const std::string callbackPrefix =
      "http://" + server_.PublisherHost() + "/sandbox/callback?ticket=";
  ASSERT_THAT(location, ::testing::StartsWith(callbackPrefix));
  const std::string callbackPath = location.substr(location.find("/sandbox/"));

  const httplib::Result callback = Get(callbackPath, "pub");
  ASSERT_TRUE(callback);
  EXPECT_EQ(callback->status, 302);
  EXPECT_EQ(callback->get_header_value("Location"), server_.BaseUrl() + "/");
  const std::vector<std::string> lines = SetCookieLines(*callback);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_THAT(lines[0], ::testing::MatchesRegex("cookie2=[0-9a-f]+; Path=/; HttpOnly"));
  EXPECT_THAT(lines[1], ::testing::MatchesRegex("_tb_token_=[0-9a-f]+; Path=/"));
  EXPECT_THAT(lines[2], ::testing::MatchesRegex("t=[0-9a-f]+; Path=/"));

  // The cookie text a browser would then hold for the publisher host.
  std::string cookies;
  std::string token;
  for (const std::string& line : lines) {
    const std::string pair = line.substr(0, line.find(';'));
    if (pair.starts_with("_tb_token_=")) token = pair.substr(11);
    cookies += (cookies.empty() ? "" : "; ") + pair;
  }
  const httplib::Result search = Get(SearchPath("连衣裙", 1, token), "pub", cookies);
  ASSERT_TRUE(search);
  EXPECT_THAT(search->body, HasSubstr("\"status\":\"OK\""));
  EXPECT_THAT(search->body, HasSubstr("\"pageList\":[{"));

  const httplib::Result home = Get("/", "pub", cookies);
  EXPECT_THAT(home->body, HasSubstr("已登录"));
  EXPECT_THAT(home->body, HasSubstr("张三"));
  EXPECT_THAT(Get("/", "pub")->body, HasSubstr("未登录"));

  // A ticket opens one session only.
  const httplib::Result again = Get(callbackPath, "pub");
  EXPECT_EQ(again->status, 403);
  EXPECT_FALSE(again->has_header("Set-Cookie"));
}

TEST_F(SignInTest, UserNamesAreEscapedOnThePage) {
  const httplib::Result submitted = Submit(server_, "username=%3Cb%3Ex%3C%2Fb%3E");
  const std::string location = submitted->get_header_value("Location");
  const httplib::Result callback = Get(location.substr(location.find("/sandbox/")), "pub");
  const std::string cookie = callback->get_header_value("Set-Cookie", 0);
  const httplib::Result home = Get("/", "pub", cookie.substr(0, cookie.find(';')));
  EXPECT_THAT(home->body, HasSubstr("&lt;b&gt;x&lt;/b&gt;"));
}

TEST_F(SignInTest, SessionsMadeForTestsLookLikeSignedInOnes) {
  const SandboxServer::Session session = server_.CreateSession();
  EXPECT_THAT(session.cookies,
              ::testing::MatchesRegex("cookie2=[0-9a-f]+; _tb_token_=[0-9a-f]+; t=[0-9a-f]+"));
  // The token is not the last entry, so it can be cut out up to the next ";".
  EXPECT_THAT(session.cookies, HasSubstr("_tb_token_=" + session.token + ";"));
  EXPECT_NE(session.token, server_.CreateSession().token);
}

TEST_F(SignInTest, ServesTheFilterListAsCp936) {
  const httplib::Result result = Get("/keywords/guolv.txt", "www");
  ASSERT_TRUE(result);
  EXPECT_EQ(result->status, 200);
  EXPECT_EQ(result->get_header_value("Content-Type"), "text/plain; charset=gbk");
  const std::string& bytes = result->body;
  EXPECT_FALSE(text::IsValidUtf8(bytes));  // CP936, not UTF-8
  const std::string utf8 = text::Cp936ToUtf8(bytes);
  EXPECT_EQ(utf8.find("\xEF\xBF\xBD"), std::string::npos);  // every byte pair decodes
  EXPECT_EQ(text::Utf8ToCp936(utf8), bytes);
  EXPECT_THAT(utf8, HasSubstr("二手|"));
  EXPECT_THAT(utf8, HasSubstr("|a货|"));
  EXPECT_EQ(utf8.find_first_of("\r\n"), std::string::npos);
  EXPECT_EQ(Get("/keywords/guolv.txt", "pub")->status, 404);
}

}  // namespace
}  // namespace corvane::sim::testing
