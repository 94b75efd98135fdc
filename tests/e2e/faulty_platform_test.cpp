// Whole collection runs against the sandbox with its fault switches on: a broken answer costs
// only its own page, the run goes on with the next keyword and always ends.
#include <gtest/gtest.h>

#include <chrono>

#include "engine/collection_run.h"
#include "platform/http_transport.h"
#include "sim/sandbox_server.h"
#include "support/temp_dir.h"
#include "text/charset.h"

namespace corvane {
namespace {

using namespace std::chrono_literals;
using text::Utf8ToCp936;

class FaultyPlatformTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sandbox.Start();
    configuration.publisherHost = sandbox.PublisherHost();
    configuration.programDirectory = dir.Path();
  }
  void TearDown() override { platform::CloseIdleConnections(); }

  // Runs the keywords 连衣裙 and abc (four pages each with the default filters) to the end.
  std::unique_ptr<state::MainForm> Run() {
    state::SharedState state(configuration);
    const auto session = sandbox.CreateSession();
    state.sessionCookies = session.cookies;
    state.sessionToken = session.token;
    auto form = std::make_unique<state::MainForm>();
    form->编辑框_过滤关键词.SetText("");
    form->编辑框_关键词.SetText(Utf8ToCp936("连衣裙\r\nabc"));
    form->编辑框_页数.SetText("4");
    engine::StartCollection(state, *form);
    EXPECT_TRUE(platform::WaitForThread(state.workerThreadHandle, 60s));
    EXPECT_TRUE(form->按钮_开始采集.IsEnabled());
    EXPECT_EQ(form->状态条1.PartText(0), Utf8ToCp936("全部关键词采集完成！"));
    return form;
  }

  testing::TempDir dir;
  sim::SandboxServer sandbox;
  state::Configuration configuration;
};

TEST_F(FaultyPlatformTest, EveryBrokenAnswerEndsItsKeywordAfterPageOne) {
  struct Case {
    const char* name;
    sim::Faults faults;
  };
  const std::vector<Case> cases = {
      {"connection reset", {.resetConnection = true}},
      {"error status", {.failStatus = 503}},
      {"HTML instead of JSON", {.nonJsonBody = true}},
      {"truncated body", {.truncateBody = true}},
  };
  for (const auto& c : cases) {
    sandbox.SetFaults(c.faults);
    const auto before = sandbox.SearchRequestCount();
    const auto form = Run();
    EXPECT_EQ(form->超级列表框_采集宝贝.RowCount(), 0) << c.name;
    // Without a page count only page 1 of each keyword is asked for (a reset connection may
    // be retried once by the transport).
    EXPECT_GE(sandbox.SearchRequestCount() - before, 2u) << c.name;
    EXPECT_LE(sandbox.SearchRequestCount() - before, 4u) << c.name;
  }
}

TEST_F(FaultyPlatformTest, SomeBrokenAnswersCostOnlyTheirOwnRows) {
  const auto healthy = Run()->超级列表框_采集宝贝.RowCount();
  sandbox.SetFaults({.failStatus = 500, .faultEvery = 3});
  const auto form = Run();
  EXPECT_GT(form->超级列表框_采集宝贝.RowCount(), 0);
  EXPECT_LT(form->超级列表框_采集宝贝.RowCount(), healthy);
  const auto rows = form->超级列表框_采集宝贝.Rows();
  for (std::size_t r = 0; r < rows.size(); ++r) EXPECT_EQ(rows[r][0], std::to_string(r + 1));
}

TEST_F(FaultyPlatformTest, SlowAndHugeAnswersStillArrive) {
  const auto healthy = Run()->超级列表框_采集宝贝.RowCount();
  sandbox.SetFaults({.latencyMs = 30});
  EXPECT_EQ(Run()->超级列表框_采集宝贝.RowCount(), healthy);
  // A several-megabyte page repeats its items: the repeats are left out.
  sandbox.SetFaults({.hugeBodyBytes = 4 << 20});
  EXPECT_EQ(Run()->超级列表框_采集宝贝.RowCount(), healthy);
}

}  // namespace
}  // namespace corvane
