// A whole collection run of 50 keywords x 3 pages against the in-process sandbox: pages per
// second, CPU per page, and whether a page costs more once many rows are in the list (the
// time of the last pages over the time of the first).
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <numeric>
#include <vector>

#include "engine/collection_run.h"
#include "sim/catalogue.h"
#include "sim/sandbox_server.h"
#include "text/charset.h"

namespace {

using namespace corvane;
using Clock = std::chrono::steady_clock;

// Notes when every request starts; a page lasts from its request to the next one.
class TimingTransport : public platform::HttpTransport {
 public:
  std::unique_ptr<platform::HttpRequestObject> CreateRequest() override {
    {
      std::lock_guard lock(mutex_);
      starts_.push_back(Clock::now());
    }
    return inner_->CreateRequest();
  }
  std::vector<Clock::time_point> Starts() {
    std::lock_guard lock(mutex_);
    return starts_;
  }

 private:
  std::shared_ptr<platform::HttpTransport> inner_ = platform::CurlTransport();
  std::mutex mutex_;
  std::vector<Clock::time_point> starts_;
};

double ProcessCpuSeconds() {
  timespec now;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return now.tv_sec + now.tv_nsec / 1e9;
}

double Mean(const std::vector<double>& values, std::size_t from, std::size_t count) {
  return std::accumulate(values.begin() + from, values.begin() + from + count, 0.0) / count;
}

}  // namespace

int main() {
  sim::SandboxServer sandbox;
  sandbox.Start();
  state::Configuration configuration;
  configuration.publisherHost = sandbox.PublisherHost();
  configuration.programDirectory = std::filesystem::temp_directory_path();
  auto transport = std::make_shared<TimingTransport>();
  state::SharedState state(configuration, transport);
  const auto session = sandbox.CreateSession();
  state.sessionCookies = session.cookies;
  state.sessionToken = session.token;

  state::MainForm form;
  form.编辑框_过滤关键词.SetText("");
  form.编辑框_页数.SetText("3");
  // Wide filters so that every keyword has at least three pages.
  form.编辑框_佣金比例.SetText("");
  form.编辑框_推广数小.SetText("");
  form.编辑框_价格小.SetText("");
  form.编辑框_价格大.SetText("");
  // Fifty keywords of at least three pages each (the catalogue is deterministic).
  std::string keywords;
  const char* stems[] = {"连衣裙", "T恤",  "手机壳", "运动鞋", "面膜",
                         "口红",   "零食", "耳机",   "背包",   "茶叶"};
  int chosen = 0;
  for (int k = 0; chosen < 50; ++k) {
    const std::string keyword = std::string(stems[k % 10]) + std::to_string(k / 10);
    if (sim::BuildKeywordItems(keyword)->items.size() <= 80) continue;
    if (chosen++) keywords += "\r\n";
    keywords += text::Utf8ToCp936(keyword);
  }
  form.编辑框_关键词.SetText(keywords);

  const double cpuBefore = ProcessCpuSeconds();
  const auto began = Clock::now();
  engine::StartCollection(state, form);
  platform::WaitForThread(state.workerThreadHandle, std::chrono::minutes(30));
  const auto ended = Clock::now();
  const double cpu = ProcessCpuSeconds() - cpuBefore;

  auto starts = transport->Starts();
  starts.push_back(ended);
  std::vector<double> pageMs;
  for (std::size_t i = 0; i + 1 < starts.size(); ++i) {
    pageMs.push_back(std::chrono::duration<double, std::milli>(starts[i + 1] - starts[i]).count());
  }
  const std::size_t pages = pageMs.size();
  const double seconds = std::chrono::duration<double>(ended - began).count();
  const std::size_t window = std::min<std::size_t>(15, pages / 2);
  const double first = Mean(pageMs, 0, window);
  const double last = Mean(pageMs, pages - window, window);
  std::printf("collection run: %zu keywords, %zu pages, %d rows in %.3f s\n", std::size_t{50},
              pages, form.超级列表框_采集宝贝.RowCount(), seconds);
  std::printf("pages per second: %.0f; CPU per page (whole process, sandbox included): %.0f us\n",
              pages / seconds, cpu / pages * 1e6);
  std::printf(
      "page time, mean of the first %zu pages: %.3f ms, of the last %zu: %.3f ms; "
      "last / first = %.2f (goal <= 1.3)\n",
      window, first, window, last, last / first);
  std::printf("single pages: first %.3f ms, last %.3f ms\n", pageMs.front(), pageMs.back());
  sandbox.Stop();
  return 0;
}
