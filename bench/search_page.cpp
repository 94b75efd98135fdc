// SearchPage against the in-process sandbox on loopback: pages per second with and without
// connection reuse, then the client thread's CPU time per page split into the transport
// (HttpGet), the decoding of the answer and AppendResultRows.
#include <benchmark/benchmark.h>

#include <time.h>

#include <cstdio>
#include <map>

#include "engine/result_rows.h"
#include "engine/search_query.h"
#include "sim/sandbox_server.h"
#include "text/charset.h"
#include "web/encoding.h"

namespace {

using namespace corvane;

std::vector<std::string> Keywords() {
  std::vector<std::string> keywords;
  for (const char* k : {"连衣裙", "T恤", "手机壳", "运动鞋", "面膜", "口红", "零食", "耳机"}) {
    keywords.push_back(text::Utf8ToCp936(k));
  }
  return keywords;
}

struct Bench {
  explicit Bench(bool reuse) : state(Configuration(), platform::CurlTransport(reuse)) {
    const auto session = sandbox.CreateSession();
    state.sessionCookies = session.cookies;
    state.sessionToken = session.token;
    form.编辑框_过滤关键词.SetText("");
  }
  static sim::SandboxServer& Sandbox() {
    static sim::SandboxServer server;
    return server;
  }
  state::Configuration Configuration() {
    state::Configuration configuration;
    configuration.publisherHost = sandbox.PublisherHost();
    return configuration;
  }
  sim::SandboxServer& sandbox = Sandbox();
  state::SharedState state;
  state::MainForm form;
  const std::vector<std::string> keywords = Keywords();
};

void BM_SearchPage(benchmark::State& bench) {
  Bench b(bench.range(0) != 0);
  int n = 0;
  for (auto _ : bench) {
    const std::string& keyword = b.keywords[n % b.keywords.size()];
    const std::string page = std::to_string(1 + (n / b.keywords.size()) % 3);
    ++n;
    engine::SearchPage(
        engine::ReadSearchSettings(b.form, keyword, page, engine::SearchScope::ScopeAll), b.state,
        b.form);
    if (n % 240 == 0) b.state.seenItems.Clear();
  }
  bench.counters["pages_per_s"] =
      benchmark::Counter(static_cast<double>(n), benchmark::Counter::kIsRate);
  platform::CloseIdleConnections();
}
BENCHMARK(BM_SearchPage)
    ->Name("SearchPage/reuse")
    ->Arg(1)
    ->UseRealTime()
    ->MinTime(2.0)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SearchPage)
    ->Name("SearchPage/no_reuse")
    ->Arg(0)
    ->UseRealTime()
    ->MinTime(2.0)
    ->Unit(benchmark::kMicrosecond);

double ThreadCpuMicroseconds() {
  timespec now;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return now.tv_sec * 1e6 + now.tv_nsec / 1e3;
}

// The steps of SearchPage one by one, timed on the calling thread's CPU clock.
void PrintPhaseSplit() {
  Bench b(true);
  constexpr int kPages = 2000;
  double transport = 0, decoding = 0, rows = 0;
  for (int n = 0; n < kPages; ++n) {
    const std::string& keyword = b.keywords[n % b.keywords.size()];
    const auto settings =
        engine::ReadSearchSettings(b.form, keyword, std::to_string(1 + (n / b.keywords.size()) % 3),
                                   engine::SearchScope::ScopeAll);
    const std::string url = engine::SearchUrl(settings, b.state.configuration.publisherHost,
                                              b.state.sessionToken, web::TimestampText());
    double t0 = ThreadCpuMicroseconds();
    const platform::Bytes body = b.state.webClient.HttpGet(url, &b.state.sessionCookies);
    double t1 = ThreadCpuMicroseconds();
    const std::string answer = text::Utf8ToCp936(
        std::string_view(reinterpret_cast<const char*>(body.data()), body.size()));
    double t2 = ThreadCpuMicroseconds();
    engine::AppendResultRows(answer, b.state, b.form);
    double t3 = ThreadCpuMicroseconds();
    transport += t1 - t0;
    decoding += t2 - t1;
    rows += t3 - t2;
    if ((n + 1) % 240 == 0) b.state.seenItems.Clear();
  }
  std::printf(
      "\nClient CPU per page over %d pages: transport %.1f us, decoding %.1f us, "
      "AppendResultRows %.1f us (total %.1f us)\n",
      kPages, transport / kPages, decoding / kPages, rows / kPages,
      (transport + decoding + rows) / kPages);
  platform::CloseIdleConnections();
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  Bench::Sandbox().Start();
  benchmark::RunSpecifiedBenchmarks();
  PrintPhaseSplit();
  Bench::Sandbox().Stop();
  benchmark::Shutdown();
  return 0;
}
