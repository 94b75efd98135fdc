// The fault switches of the search service, observed from a client over loopback.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>

#include "sandbox_fixture.h"

namespace corvane::sim::testing {
namespace {

using ::testing::HasSubstr;
using Clock = std::chrono::steady_clock;

using FaultsTest = SandboxTest;

bool IsJson(const std::string& body) {
  boost::json::error_code error;
  boost::json::parse(body, error);
  return !error;
}

TEST_F(FaultsTest, ErrorStatusesAndNonJsonBodies) {
  for (const int status : {500, 503, 429}) {
    server_.SetFaults({.failStatus = status});
    const httplib::Result result = Search("abc", 1);
    ASSERT_TRUE(result) << status;
    EXPECT_EQ(result->status, status);
    EXPECT_FALSE(IsJson(result->body));
  }
  server_.SetFaults({.nonJsonBody = true});
  const httplib::Result html = Search("abc", 1);
  ASSERT_TRUE(html);
  EXPECT_EQ(html->status, 200);
  EXPECT_THAT(html->body, HasSubstr("<html"));
  EXPECT_FALSE(IsJson(html->body));

  server_.SetFaults({});
  EXPECT_TRUE(IsJson(Search("abc", 1)->body));
}

TEST_F(FaultsTest, ResetGivesNoAnswerAndTheNextConnectionWorks) {
  server_.SetFaults({.resetConnection = true});
  const httplib::Result reset = Search("abc", 1);
  EXPECT_FALSE(reset);
  server_.SetFaults({});
  const httplib::Result next = Search("abc", 1);
  ASSERT_TRUE(next);
  EXPECT_TRUE(IsJson(next->body));
}

TEST_F(FaultsTest, TruncatedBodyStopsHalfWay) {
  const std::string whole = Search("abc", 1)->body;
  server_.SetFaults({.truncateBody = true});
  // Read what arrives ourselves: the client library rejects the short answer as a whole.
  std::string received;
  httplib::Client client("127.0.0.1", server_.Port());
  const httplib::Result result =
      client.Get(SearchPath("abc", 1, session_.token),
                 {{"Host", server_.PublisherHost()}, {"Cookie", session_.cookies}},
                 [&](const char* data, std::size_t length) {
                   received.append(data, length);
                   return true;
                 });
  EXPECT_FALSE(result);
  EXPECT_EQ(received, whole.substr(0, whole.size() / 2));
}

TEST_F(FaultsTest, HugeBodyIsStillValidJson) {
  server_.SetFaults({.hugeBodyBytes = 5u << 20});
  const httplib::Result result = Search("abc", 1);
  ASSERT_TRUE(result);
  EXPECT_GE(result->body.size(), 5u << 20);
  const boost::json::value answer = boost::json::parse(result->body);
  EXPECT_GT(answer.at("data").at("pageList").as_array().size(), 3000u);
}

TEST_F(FaultsTest, LatencyDelaysEveryAnswer) {
  server_.SetFaults({.latencyMs = 300});
  const auto start = Clock::now();
  const httplib::Result result = Search("abc", 1);
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(300));
  ASSERT_TRUE(result);
  EXPECT_TRUE(IsJson(result->body));
}

TEST_F(FaultsTest, FaultsCanHitEveryNthRequestOnly) {
  server_.SetFaults({.failStatus = 503, .faultEvery = 3});
  const std::uint64_t before = server_.SearchRequestCount();
  for (std::uint64_t n = before + 1; n <= before + 9; ++n) {
    const httplib::Result result = Search("abc", 1);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, n % 3 == 0 ? 503 : 200) << n;
  }
}

TEST_F(FaultsTest, StopDoesNotWaitForALongLatency) {
  server_.SetFaults({.latencyMs = 600000});
  auto pending = std::async(std::launch::async, [this] { return Search("abc", 1); });
  const auto deadline = Clock::now() + std::chrono::seconds(30);
  while (server_.SearchRequestCount() == 0 && Clock::now() < deadline) {
    std::this_thread::yield();
  }
  ASSERT_EQ(server_.SearchRequestCount(), 1u);
  const auto start = Clock::now();
  server_.Stop();
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(20));
  pending.get();
}

}  // namespace
}  // namespace corvane::sim::testing
