// AppendResultRows on realistic 40-item answers (about 50 KB), with an empty list and with
// 100,000 rows already collected, next to a baseline that reads the answer the literal way:
// every step through a serialised-and-reparsed sub-document and a full reread of the list
// into the column mirrors after every answer.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>

#include "engine/result_rows.h"
#include "json/json_document.h"
#include "support/answer_builder.h"
#include "text/charset.h"
#include "text/cp936.h"

namespace {

using namespace corvane;

constexpr int kAnswers = 64;

// Distinct answers, so that every page adds new rows.
const std::vector<std::string>& Answers() {
  static const std::vector<std::string> answers = [] {
    std::vector<std::string> built;
    for (int a = 0; a < kAnswers; ++a) {
      built.push_back(testing::AnswerText(testing::DistinctItems(40, a * 40), "100"));
    }
    return built;
  }();
  return answers;
}

std::string FilterText() {
  std::string filter;
  for (int i = 0; i < 60; ++i) {
    if (i) filter += '|';
    filter.append("关键词").append(std::to_string(i));
  }
  return text::Utf8ToCp936(filter);
}

void BaselineAppendResultRows(std::string_view answerText, state::SharedState& state,
                              state::MainForm& form) {
  json::JsonDocument answer;
  answer.Parse(answerText);
  const int count =
      answer.GetObjectBySerialising("data").GetObjectBySerialising("pageList").GetArrayLength();
  state.totalPagesText =
      answer.GetObjectBySerialising("data").GetObjectBySerialising("paginator").GetText("pages");
  ui::ReportList& list = form.超级列表框_采集宝贝;
  for (int i = 0; i < count; ++i) {
    const json::JsonDocument item = answer.GetObjectBySerialising("data")
                                        .GetObjectBySerialising("pageList")
                                        .GetArrayItemBySerialising(i);
    const std::string title = engine::CleanTitle(item.GetText("title"));
    std::vector<std::string> fields;
    for (const char* name :
         {"totalNum", "totalFee", "zkPrice", "tkCommFee", "tkRate", "auctionUrl"})
      fields.push_back(item.GetText(name));
    if (!state.seenItems.Add(title)) continue;
    if (engine::TitleMatchesFilter(title, form.编辑框_过滤关键词.Text())) continue;
    const int index = list.AppendRow();
    const int n = list.RowCount();
    list.SetCell(n - 1, 0, text::NumberText(n));
    list.SetCell(n - 1, 1, title);
    for (int c = 0; c < 6; ++c) list.SetCell(n - 1, c + 2, fields[c]);
    list.EnsureVisible(index);
  }
  // The literal snapshot: every cell of every row, read one by one.
  for (auto& column : state.resultColumns) column.clear();
  const int rows = list.RowCount();
  for (int r = 0; r < rows; ++r) {
    for (int c = 1; c <= 7; ++c) state.resultColumns[c - 1].push_back(list.Cell(r, c));
  }
}

template <bool Baseline>
void BM_AppendResultRows(benchmark::State& bench) {
  const int rowsBefore = static_cast<int>(bench.range(0));
  state::SharedState state;
  state::MainForm form;
  form.编辑框_过滤关键词.SetText(FilterText());
  ui::ReportList& list = form.超级列表框_采集宝贝;
  for (int r = 0; r < rowsBefore; ++r) {
    list.AppendRowWithCells({text::NumberText(r + 1), "earlier title " + std::to_string(r), "1",
                             "2", "3", "4", "5", "http://item.example.com/item.htm?id=1"});
  }
  engine::SnapshotResultColumns(state.resultColumns, list);
  const auto& answers = Answers();
  std::size_t bytes = 0;
  int page = 0;
  for (auto _ : bench) {
    const std::string& answer = answers[page % kAnswers];
    if (++page % kAnswers == 0) {
      bench.PauseTiming();
      state.seenItems.Clear();
      bench.ResumeTiming();
    }
    if constexpr (Baseline) {
      BaselineAppendResultRows(answer, state, form);
    } else {
      engine::AppendResultRows(answer, state, form);
    }
    bytes += answer.size();
  }
  bench.SetBytesProcessed(static_cast<std::int64_t>(bytes));
  bench.counters["answer_KB"] = static_cast<double>(answers[0].size()) / 1024.0;
}

BENCHMARK_TEMPLATE(BM_AppendResultRows, false)
    ->Name("AppendResultRows/rows_before")
    ->Arg(0)
    ->Arg(100000)
    ->Iterations(1000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_AppendResultRows, true)
    ->Name("Baseline/rows_before")
    ->Arg(0)
    ->Arg(100000)
    ->Iterations(60)
    ->Unit(benchmark::kMicrosecond);

// Keeps each run's CPU time per page (steadier than wall time on a shared machine) so that main can
// print the ratios.
class FigureReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      microseconds[run.benchmark_name()] =
          run.GetAdjustedCPUTime() * (run.time_unit == benchmark::kMicrosecond ? 1.0 : 1e-3);
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> microseconds;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  FigureReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  auto& us = reporter.microseconds;
  const auto figure = [&](const std::string& name) {
    for (const auto& [key, value] : us)
      if (key.rfind(name, 0) == 0) return value;
    return 0.0;
  };
  const double empty = figure("AppendResultRows/rows_before/0/");
  const double full = figure("AppendResultRows/rows_before/100000/");
  const double baseEmpty = figure("Baseline/rows_before/0/");
  const double baseFull = figure("Baseline/rows_before/100000/");
  std::printf(
      "\nAppendResultRows per 40-item page: %.3f ms with an empty list, %.3f ms with "
      "100,000 rows (growth %.2fx; goal <= 0.5 ms and <= 1.3x)\n",
      empty / 1000, full / 1000, empty > 0 ? full / empty : 0);
  std::printf(
      "Baseline per page: %.3f ms with an empty list, %.3f ms with 100,000 rows "
      "(growth %.2fx); baseline / ours: %.1fx and %.1fx\n",
      baseEmpty / 1000, baseFull / 1000, baseEmpty > 0 ? baseFull / baseEmpty : 0,
      empty > 0 ? baseEmpty / empty : 0, full > 0 ? baseFull / full : 0);
  benchmark::Shutdown();
  return 0;
}
