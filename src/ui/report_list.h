// The model of a report-style list view: rows of text cells under fixed columns. Every
// operation is one atomic step; observers hear what changed, on the thread that changed it.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "ui/controls.h"

namespace corvane::ui {

struct ReportColumn {
  std::string title;
  int width = 0;
};

struct ReportListChange {
  enum class Kind { RowsAppended, CellChanged, AllRowsDeleted, ScrolledTo };
  Kind kind;
  int row = 0;     // first appended row, changed row, or row scrolled to
  int column = 0;  // changed cell's column
  int count = 0;   // number of rows appended
};

class ReportList : public Control {
 public:
  ReportList(std::string name, std::vector<ReportColumn> columns)
      : Control(std::move(name)), columns_(std::move(columns)) {}

  const std::vector<ReportColumn>& Columns() const { return columns_; }
  int ColumnCount() const { return static_cast<int>(columns_.size()); }

  // Appends a row whose column 0 holds `caption` and whose other cells are empty; returns its
  // index.
  int AppendRow(std::string caption = {});
  // Appends a whole row in one step (missing cells empty, extra ones dropped); returns its
  // index, so the row's 1-based position is the index plus one.
  int AppendRowWithCells(std::vector<std::string> cells);
  // Out-of-range rows or columns change nothing.
  void SetCell(int row, int column, std::string text);
  // Empty text for out-of-range rows or columns.
  std::string Cell(int row, int column) const;
  int RowCount() const;
  void DeleteAllRows();
  // Asks the view to bring a row into sight (out of range: nothing).
  void EnsureVisible(int row);
  // All rows, each with ColumnCount() cells.
  std::vector<std::vector<std::string>> Rows() const;
  // Column `column` of every row.
  std::vector<std::string> ColumnTexts(int column) const;

  Observers<ReportListChange>& ListChanged() { return listChanged_; }

 private:
  const std::vector<ReportColumn> columns_;
  std::vector<std::vector<std::string>> rows_;
  Observers<ReportListChange> listChanged_;
};

}  // namespace corvane::ui
