#include "engine/collection_run.h"

#include <algorithm>

#include "engine/search_query.h"
#include "platform/files.h"
#include "text/charset.h"
#include "text/cp936.h"

namespace corvane::engine {

namespace {

std::string T(std::string_view utf8) {
  return text::Utf8ToCp936(utf8);
}

SearchScope RunScope(const state::MainForm& form) {
  if (form.单选框_所有的.IsChecked()) return SearchScope::ScopeAll;
  if (form.单选框_淘宝.IsChecked()) return SearchScope::ScopeTaobao;
  if (form.单选框_天猫.IsChecked()) return SearchScope::ScopeTmall;
  return SearchScope::ScopeAll;
}

void ShowRowCount(state::MainForm& form) {
  form.状态条1.SetStatusText(
      state::kStatusCount,
      T("共采集到：") + text::NumberText(form.超级列表框_采集宝贝.RowCount()) + T("件宝贝"));
}

void SearchKeyword(const std::string& keyword, SearchScope scope, state::SharedState& state,
                   state::MainForm& form) {
  const auto search = [&](long long page) {
    SearchPage(ReadSearchSettings(form, keyword, text::NumberText(page), scope), state, form);
    ShowRowCount(form);
  };
  // Page 1 always; an empty page box means page 1 only.
  const bool onePage = form.编辑框_页数.Text().empty();
  search(1);
  if (onePage) return;
  // The plan is fixed before page 2 is requested: later answers change the page count but
  // not the last page.
  long long total;
  {
    std::lock_guard lock(state.resultsMutex);
    total = text::ToInteger(state.totalPagesText);
  }
  const long long last = std::min(total, text::ToInteger(form.编辑框_页数.Text()));
  for (long long page = 2; page <= last; ++page) search(page);
}

}  // namespace

std::vector<std::string> SplitKeywords(std::string_view keywordText) {
  return text::Split(keywordText, "\r\n");
}

void ClearSeenItems(state::SharedState& state) {
  state.seenItems.Clear();
}

void StartCollection(state::SharedState& state, state::MainForm& form, const WorkerThread& worker) {
  form.按钮_开始采集.SetEnabled(false);
  ClearSeenItems(state);
  // A failed write of the keyword record does not stop the run.
  platform::WriteWholeFile(state.configuration.programDirectory / kKeywordFileName,
                           form.编辑框_关键词.Text());
  // The new handle replaces (and so releases) the previous run's.
  worker.Create(
      [&state, &form](std::uintptr_t) -> std::uint32_t {
        RunCollection(state, form);
        return 0;
      },
      0, state.workerThreadHandle, true, true);
  if (!state.workerThreadHandle) {
    // Only the worker enables the button again; without one the user would be locked out.
    form.按钮_开始采集.SetEnabled(true);
    form.状态条1.SetStatusText(state::kStatusTask, T("启动采集失败！"));
  }
}

void RunCollection(state::SharedState& state, state::MainForm& form) {
  {
    // The mirrors are emptied with the list, so they match it from the first moment.
    std::lock_guard lock(state.resultsMutex);
    form.超级列表框_采集宝贝.DeleteAllRows();
    for (auto& column : state.resultColumns) column.clear();
  }
  const SearchScope scope = RunScope(form);
  const std::vector<std::string> keywords = SplitKeywords(form.编辑框_关键词.Text());
  for (std::size_t i = 0; i < keywords.size(); ++i) {
    form.状态条1.SetStatusText(
        state::kStatusTask, T("正在采集[联盟采集]任务的第[") +
                                text::NumberText(static_cast<long long>(i + 1)) + T("]个关键词：") +
                                keywords[i]);
    SearchKeyword(keywords[i], scope, state, form);
    ShowRowCount(form);
  }
  form.按钮_开始采集.SetEnabled(true);
  form.状态条1.SetStatusText(state::kStatusTask, T("全部关键词采集完成！"));
}

}  // namespace corvane::engine
