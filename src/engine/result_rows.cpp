#include "engine/result_rows.h"

#include <array>
#include <optional>

#include "json/json_document.h"
#include "text/cp936.h"

namespace corvane::engine {

namespace {

// The item fields of list columns 2 to 7, in column order.
constexpr std::array<std::string_view, 6> kFieldNames = {"totalNum",  "totalFee", "zkPrice",
                                                         "tkCommFee", "tkRate",   "auctionUrl"};

}  // namespace

FilterKeywords::FilterKeywords(std::string_view filterText)
    : keywords_(text::Split(filterText, "|")) {}

bool FilterKeywords::Matches(std::string_view title) const {
  for (const auto& keyword : keywords_) {
    if (text::Contains(title, keyword)) return true;
  }
  return false;
}

bool TitleMatchesFilter(std::string_view title, std::string_view filterText) {
  return FilterKeywords(filterText).Matches(title);
}

std::string CleanTitle(std::string_view title) {
  return text::ReplaceAll(text::ReplaceAll(title, "<span class=H>", ""), "</span>", "");
}

void AppendResultRows(std::string_view answerText, state::SharedState& state,
                      state::MainForm& form) {
  // A failed parse leaves every read below empty: no items, no page count.
  json::JsonDocument answer;
  answer.Parse(answerText);
  const json::JsonDocument data = answer.GetObject("data");
  const json::JsonDocument pageList = data.GetObject("pageList");
  const int itemCount = pageList.GetArrayLength();
  std::string totalPages = data.GetObject("paginator").GetText("pages");

  ui::ReportList& list = form.超级列表框_采集宝贝;
  std::lock_guard lock(state.resultsMutex);
  state.totalPagesText = std::move(totalPages);
  state::ResultColumns& columns = state.resultColumns;
  // Rows are appended to the mirrors as they are added to the list; should anything have
  // changed the list behind our back, the mirrors are first rebuilt from it.
  if (static_cast<int>(columns[0].size()) != list.RowCount()) SnapshotResultColumns(columns, list);

  // The filter text is read for every item, so an edit during a run takes effect at once; it
  // is split again only when it changed.
  std::string filterText;
  std::optional<FilterKeywords> filter;
  for (int i = 0; i < itemCount; ++i) {
    const json::JsonDocument item = pageList.GetArrayItem(i);
    std::string title = CleanTitle(item.GetText("title"));
    // Every new title is remembered, also one that the filter then keeps out.
    if (!state.seenItems.Add(title)) continue;
    if (std::string current = form.编辑框_过滤关键词.Text(); !filter || current != filterText) {
      filterText = std::move(current);
      filter.emplace(filterText);
    }
    if (filter->Matches(title)) continue;

    std::vector<std::string> cells;
    cells.reserve(1 + kFieldNames.size() + 1);
    cells.push_back(text::NumberText(list.RowCount() + 1));
    cells.push_back(std::move(title));
    for (std::string_view field : kFieldNames) cells.push_back(item.GetText(field));

    const int index = list.AppendRowWithCells(cells);
    if (cells[0] != text::NumberText(index + 1)) {
      cells[0] = text::NumberText(index + 1);
      list.SetCell(index, state::kColumnSequence, cells[0]);
    }
    list.EnsureVisible(index);
    for (int c = 0; c < state::kResultColumnCount; ++c) {
      columns[c].push_back(std::move(cells[c + 1]));
    }
  }
}

void SnapshotResultColumns(state::ResultColumns& columns, const ui::ReportList& list) {
  // One read of the whole list, so the seven arrays describe the same rows.
  const auto rows = list.Rows();
  for (int c = 0; c < state::kResultColumnCount; ++c) {
    columns[c].clear();
    columns[c].reserve(rows.size());
    for (const auto& row : rows) columns[c].push_back(row[c + 1]);
  }
}

}  // namespace corvane::engine
