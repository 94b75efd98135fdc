#include "engine/result_rows.h"

#include <array>
#include <optional>

#include "json/json_document.h"
#include "text/cp936.h"

namespace corvane::engine {

namespace {

// The fields after the title, as the answer's item object names them.
void ReadFieldsAfterTitle(const json::JsonDocument& item, ResultRow& row) {
  row.promotionCount30Day = item.GetText("totalNum");
  row.paidCommission30Day = item.GetText("totalFee");
  row.unitPrice = item.GetText("zkPrice");
  row.commission = item.GetText("tkCommFee");
  row.commissionRate = item.GetText("tkRate");
  row.link = item.GetText("auctionUrl");
}

// The row's texts in list column order, columns 1 to 7.
std::array<std::string, state::kResultColumnCount> ColumnTexts(ResultRow row) {
  return {std::move(row.title),
          std::move(row.promotionCount30Day),
          std::move(row.paidCommission30Day),
          std::move(row.unitPrice),
          std::move(row.commission),
          std::move(row.commissionRate),
          std::move(row.link)};
}

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
    ResultRow row;
    row.title = CleanTitle(item.GetText("title"));
    // Every new title is remembered, also one that the filter then keeps out.
    if (!state.seenItems.Add(row.title)) continue;
    if (std::string current = form.编辑框_过滤关键词.Text(); !filter || current != filterText) {
      filterText = std::move(current);
      filter.emplace(filterText);
    }
    if (filter->Matches(row.title)) continue;
    ReadFieldsAfterTitle(item, row);

    auto texts = ColumnTexts(std::move(row));
    std::vector<std::string> cells;
    cells.reserve(1 + texts.size());
    const std::string number = text::NumberText(list.RowCount() + 1);
    cells.push_back(number);
    cells.insert(cells.end(), texts.begin(), texts.end());
    const int index = list.AppendRowWithCells(std::move(cells));
    // Rows are only appended under the results lock, so the count read above is the row's
    // position; should anything else have appended meanwhile, the number is put right.
    if (text::NumberText(index + 1) != number) {
      list.SetCell(index, state::kColumnSequence, text::NumberText(index + 1));
    }
    list.EnsureVisible(index);
    for (int c = 0; c < state::kResultColumnCount; ++c) columns[c].push_back(std::move(texts[c]));
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
