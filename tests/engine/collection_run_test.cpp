#include "engine/collection_run.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <map>
#include <thread>

#include "platform/files.h"
#include "support/answer_builder.h"
#include "support/scripted_transport.h"
#include "support/temp_dir.h"
#include "text/charset.h"
#include "web/encoding.h"

namespace corvane::engine {
namespace {

using namespace std::chrono_literals;
using text::Utf8ToCp936;

std::string QueryValue(const std::string& url, const std::string& key) {
  const std::string marker =
      (url.find("?" + key + "=") != std::string::npos ? "?" : "&") + key + "=";
  const auto start = url.find(marker);
  if (start == std::string::npos) return "<absent>";
  const auto begin = start + marker.size();
  return url.substr(begin, url.find('&', begin) - begin);
}

// A run against a scripted platform: every keyword has a page count (as the answers report
// it) and every page brings `itemsPerPage` new items.
class CollectionRunTest : public ::testing::Test {
 protected:
  CollectionRunTest() {
    configuration.programDirectory = dir.Path();
    transport = std::make_shared<testing::ScriptedTransport>([this](const auto& request) {
      const std::string page = QueryValue(request.url, "toPage");
      const std::string q = QueryValue(request.url, "q");
      const auto pages = pagesByKeyword.find(q);
      const std::string reported = pages == pagesByKeyword.end() ? "" : pages->second;
      // The same keyword and page always bring the same items.
      const int first = static_cast<int>(std::hash<std::string>()(q + "/" + page) % 100000) * 50;
      return testing::ScriptedAnswer{
          testing::AnswerJson(testing::DistinctItems(itemsPerPage, first), reported), ""};
    });
    state = std::make_unique<state::SharedState>(configuration, transport);
    form.编辑框_过滤关键词.SetText("");
    form.状态条1.PartChanged().Subscribe([this](int part) {
      std::lock_guard lock(statusMutex);
      statusTexts[part].push_back(form.状态条1.PartText(part));
    });
  }

  void Run(const WorkerThread& worker = WorkerThread()) {
    StartCollection(*state, form, worker);
    if (state->workerThreadHandle) {
      ASSERT_TRUE(platform::WaitForThread(state->workerThreadHandle, 60s));
    }
  }

  std::vector<std::string> Status(int part) {
    std::lock_guard lock(statusMutex);
    return statusTexts[part];
  }

  // (q value, toPage value) of every request, in order.
  std::vector<std::pair<std::string, std::string>> Requests() {
    std::vector<std::pair<std::string, std::string>> seen;
    for (const auto& request : transport->Requests()) {
      seen.emplace_back(QueryValue(request.url, "q"), QueryValue(request.url, "toPage"));
    }
    return seen;
  }

  testing::TempDir dir;
  state::Configuration configuration;
  std::shared_ptr<testing::ScriptedTransport> transport;
  std::map<std::string, std::string> pagesByKeyword;  // by encoded keyword
  int itemsPerPage = 3;
  std::unique_ptr<state::SharedState> state;
  state::MainForm form;
  std::mutex statusMutex;
  std::map<int, std::vector<std::string>> statusTexts;
};

TEST_F(CollectionRunTest, AnEmptyKeywordBoxMakesNoRequest) {
  form.编辑框_关键词.SetText("");
  form.超级列表框_采集宝贝.AppendRow("old");
  Run();
  EXPECT_TRUE(transport->Requests().empty());
  EXPECT_EQ(form.超级列表框_采集宝贝.RowCount(), 0);
  EXPECT_TRUE(form.按钮_开始采集.IsEnabled());
  EXPECT_EQ(form.状态条1.PartText(0), Utf8ToCp936("全部关键词采集完成！"));
  EXPECT_EQ(platform::ReadWholeFile(dir.Path() / kKeywordFileName), "");
}

TEST_F(CollectionRunTest, KeywordsAreTheLinesOfTheBox) {
  struct Case {
    std::string box;
    std::vector<std::string> keywords;
  };
  const std::vector<Case> cases = {
      {"a\r\n\r\nb", {"a", "", "b"}},
      {"a\r\n", {"a"}},
      {" a \nb\r", {" a \nb\r"}},  // lone LF and CR are part of the keyword, blanks are kept
      {"连衣裙\r\nT恤", {"连衣裙", "T恤"}},
  };
  form.编辑框_页数.SetText("");
  for (const auto& c : cases) {
    statusTexts.clear();
    const std::size_t before = transport->Requests().size();
    form.编辑框_关键词.SetText(Utf8ToCp936(c.box));
    Run();
    const auto requests = Requests();
    ASSERT_EQ(requests.size() - before, c.keywords.size()) << c.box;
    const auto progress = Status(0);
    ASSERT_EQ(progress.size(), c.keywords.size() + 1);
    for (std::size_t i = 0; i < c.keywords.size(); ++i) {
      const std::string keyword = Utf8ToCp936(c.keywords[i]);
      EXPECT_EQ(requests[before + i].first, web::UrlEncode(keyword, true, true));
      EXPECT_EQ(progress[i],
                Utf8ToCp936("正在采集[联盟采集]任务的第[" + std::to_string(i + 1) + "]个关键词：") +
                    keyword);
    }
    EXPECT_EQ(progress.back(), Utf8ToCp936("全部关键词采集完成！"));
  }
}

TEST_F(CollectionRunTest, ThePagePlanFollowsThePageBoxAndTheFirstAnswer) {
  struct Case {
    std::string pageBox;
    std::string reportedPages;  // empty: the answer has no page count
    int expectedPages;
  };
  const std::vector<Case> cases = {
      {"", "10", 1},   {"3", "10", 3},   {"3", "2", 2}, {"3", "3", 3},    {"0", "10", 1},
      {"-2", "10", 1}, {"abc", "10", 1}, {"3", "", 1},  {"2abc", "9", 2}, {"\xA3\xB2", "9", 2},
  };
  form.编辑框_关键词.SetText("k");
  for (const auto& c : cases) {
    pagesByKeyword["k"] = c.reportedPages;
    form.编辑框_页数.SetText(c.pageBox);
    const std::size_t before = transport->Requests().size();
    Run();
    const auto requests = Requests();
    ASSERT_EQ(requests.size() - before, static_cast<std::size_t>(c.expectedPages))
        << "page box " << c.pageBox << ", answer " << c.reportedPages;
    for (int p = 0; p < c.expectedPages; ++p) {
      EXPECT_EQ(requests[before + p].second, std::to_string(p + 1));
    }
  }
}

TEST_F(CollectionRunTest, ThePlanIsFixedAfterTheFirstPage) {
  // Every answer but the first reports a single page; the plan made from page 1 holds.
  auto shrinking = std::make_shared<testing::ScriptedTransport>([](const auto& request) {
    const bool first = QueryValue(request.url, "toPage") == "1";
    return testing::ScriptedAnswer{
        testing::AnswerJson(testing::DistinctItems(1, std::stoi(QueryValue(request.url, "toPage"))),
                            first ? "8" : "1"),
        ""};
  });
  state = std::make_unique<state::SharedState>(configuration, shrinking);
  form.编辑框_关键词.SetText("k");
  form.编辑框_页数.SetText("4");
  Run();
  EXPECT_EQ(shrinking->Requests().size(), 4u);
  EXPECT_EQ(state->totalPagesText, "1");
}

TEST_F(CollectionRunTest, ProgressAndCountTexts) {
  itemsPerPage = 40;
  form.编辑框_关键词.SetText(Utf8ToCp936("连衣裙"));
  form.编辑框_页数.SetText("");
  Run();
  EXPECT_EQ(Status(0).front(), Utf8ToCp936("正在采集[联盟采集]任务的第[1]个关键词：连衣裙"));
  // After the request and once more when the keyword ends.
  EXPECT_EQ(Status(1), std::vector<std::string>(2, Utf8ToCp936("共采集到：40件宝贝")));
}

TEST_F(CollectionRunTest, ASecondRunCollectsTheSameItemsAgain) {
  form.编辑框_关键词.SetText("a\r\nb");
  form.编辑框_页数.SetText("");
  Run();
  const auto first = form.超级列表框_采集宝贝.Rows();
  ASSERT_EQ(first.size(), 6u);
  Run();
  EXPECT_EQ(form.超级列表框_采集宝贝.Rows(), first);
  EXPECT_EQ(state->resultColumns[6].size(), 6u);
}

TEST_F(CollectionRunTest, TheKeywordFileHoldsTheBoxByteForByte) {
  const std::string box = Utf8ToCp936("连衣裙\r\n T恤 \r\n\r\n");
  form.编辑框_关键词.SetText(box);
  form.编辑框_页数.SetText("");
  Run();
  EXPECT_EQ(platform::ReadWholeFile(dir.Path() / kKeywordFileName), box);
}

TEST_F(CollectionRunTest, AnUnwritableKeywordFileDoesNotStopTheRun) {
  configuration.programDirectory = dir.Path() / "missing";
  state = std::make_unique<state::SharedState>(configuration, transport);
  form.编辑框_关键词.SetText("a");
  form.编辑框_页数.SetText("");
  Run();
  EXPECT_EQ(form.超级列表框_采集宝贝.RowCount(), 3);
}

class FailingWorker : public WorkerThread {
 public:
  void Create(platform::ThreadRoutine, std::uintptr_t, platform::ThreadHandle& handle, bool, bool,
              std::uint32_t*) const override {
    handle.reset();
  }
};

TEST_F(CollectionRunTest, AWorkerThatCannotStartGivesTheButtonBack) {
  form.编辑框_关键词.SetText("a");
  Run(FailingWorker());
  EXPECT_TRUE(form.按钮_开始采集.IsEnabled());
  EXPECT_EQ(form.状态条1.PartText(0), Utf8ToCp936("启动采集失败！"));
  EXPECT_TRUE(transport->Requests().empty());
}

TEST_F(CollectionRunTest, TheButtonStaysDisabledWhileTheRunGoes) {
  std::atomic<bool> enabledDuringRun = false;
  auto watching = std::make_shared<testing::ScriptedTransport>([&](const auto&) {
    if (form.按钮_开始采集.IsEnabled()) enabledDuringRun = true;
    return testing::ScriptedAnswer{testing::AnswerJson(testing::DistinctItems(1), "1"), ""};
  });
  state = std::make_unique<state::SharedState>(configuration, watching);
  form.编辑框_关键词.SetText("a\r\nb");
  Run();
  EXPECT_FALSE(enabledDuringRun);
  EXPECT_TRUE(form.按钮_开始采集.IsEnabled());
}

// While a run appends pages, the UI thread reads the rows as the keyword filter and the
// export do: under the results lock the list and its mirrors always agree.
TEST_F(CollectionRunTest, ReadersOnTheUiThreadSeeWholePages) {
  itemsPerPage = 40;
  std::string keywords;
  for (int k = 0; k < 20; ++k) keywords += "k" + std::to_string(k) + "\r\n";
  for (int k = 0; k < 20; ++k) pagesByKeyword["k" + std::to_string(k)] = "3";
  form.编辑框_关键词.SetText(keywords);
  StartCollection(*state, form);
  ASSERT_TRUE(state->workerThreadHandle);
  int checks = 0;
  while (!platform::WaitForThread(state->workerThreadHandle, 0ms)) {
    {
      std::lock_guard lock(state->resultsMutex);
      const int rows = form.超级列表框_采集宝贝.RowCount();
      ASSERT_EQ(static_cast<int>(state->resultColumns[0].size()), rows);
      ASSERT_EQ(rows % 40, 0);
      if (rows > 0) {
        ASSERT_EQ(state->resultColumns[6].back(), form.超级列表框_采集宝贝.Cell(rows - 1, 7));
      }
    }
    ++checks;
    std::this_thread::yield();
  }
  EXPECT_GT(checks, 0);
  EXPECT_EQ(form.超级列表框_采集宝贝.RowCount(), 20 * 3 * 40);
}

}  // namespace
}  // namespace corvane::engine
