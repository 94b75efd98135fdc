#include "ui/report_list.h"

namespace corvane::ui {

using Kind = ReportListChange::Kind;

int ReportList::AppendRow(std::string caption) {
  std::vector<std::string> cells;
  cells.push_back(std::move(caption));
  return AppendRowWithCells(std::move(cells));
}

int ReportList::AppendRowWithCells(std::vector<std::string> cells) {
  cells.resize(columns_.size());
  int index;
  {
    std::lock_guard lock(mutex_);
    index = static_cast<int>(rows_.size());
    rows_.push_back(std::move(cells));
  }
  listChanged_.Notify({Kind::RowsAppended, index, 0, 1});
  return index;
}

void ReportList::SetCell(int row, int column, std::string text) {
  {
    std::lock_guard lock(mutex_);
    if (row < 0 || row >= static_cast<int>(rows_.size()) || column < 0 || column >= ColumnCount()) {
      return;
    }
    rows_[row][column] = std::move(text);
  }
  listChanged_.Notify({Kind::CellChanged, row, column, 0});
}

std::string ReportList::Cell(int row, int column) const {
  std::lock_guard lock(mutex_);
  if (row < 0 || row >= static_cast<int>(rows_.size()) || column < 0 || column >= ColumnCount()) {
    return {};
  }
  return rows_[row][column];
}

int ReportList::RowCount() const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(rows_.size());
}

void ReportList::DeleteAllRows() {
  {
    std::lock_guard lock(mutex_);
    rows_.clear();
  }
  listChanged_.Notify({Kind::AllRowsDeleted, 0, 0, 0});
}

void ReportList::EnsureVisible(int row) {
  if (row < 0 || row >= RowCount()) return;
  listChanged_.Notify({Kind::ScrolledTo, row, 0, 0});
}

std::vector<std::vector<std::string>> ReportList::Rows() const {
  std::lock_guard lock(mutex_);
  return rows_;
}

std::vector<std::string> ReportList::ColumnTexts(int column) const {
  std::lock_guard lock(mutex_);
  std::vector<std::string> texts;
  if (column < 0 || column >= ColumnCount()) return texts;
  texts.reserve(rows_.size());
  for (const auto& row : rows_) texts.push_back(row[column]);
  return texts;
}

}  // namespace corvane::ui
