#include "ui/controls.h"

#include <gtest/gtest.h>

#include <thread>

#include "ui/report_list.h"

namespace corvane::ui {
namespace {

using Kind = ReportListChange::Kind;

ReportList ThreeColumns() {
  return ReportList("list", {{"a", 1}, {"b", 1}, {"c", 1}});
}

TEST(ReportList, OperationsAndWhatObserversHear) {
  ReportList list("list", {{"a", 1}, {"b", 1}, {"c", 1}});
  std::vector<ReportListChange> heard;
  list.ListChanged().Subscribe([&](const ReportListChange& change) { heard.push_back(change); });

  EXPECT_EQ(list.AppendRow("1"), 0);
  EXPECT_EQ(list.AppendRowWithCells({"2", "x", "y", "dropped"}), 1);
  list.SetCell(0, 2, "z");
  list.SetCell(5, 0, "ignored");
  list.SetCell(0, 3, "ignored");
  list.EnsureVisible(1);
  list.EnsureVisible(9);

  EXPECT_EQ(list.RowCount(), 2);
  EXPECT_EQ(list.Rows(), (std::vector<std::vector<std::string>>{{"1", "", "z"}, {"2", "x", "y"}}));
  EXPECT_EQ(list.Cell(1, 1), "x");
  EXPECT_EQ(list.Cell(2, 0), "");
  EXPECT_EQ(list.Cell(0, -1), "");
  EXPECT_EQ(list.ColumnTexts(2), (std::vector<std::string>{"z", "y"}));

  list.DeleteAllRows();
  EXPECT_EQ(list.RowCount(), 0);
  ASSERT_EQ(heard.size(), 5u);
  EXPECT_EQ(heard[0].kind, Kind::RowsAppended);
  EXPECT_EQ(heard[1].row, 1);
  EXPECT_EQ(heard[2].kind, Kind::CellChanged);
  EXPECT_EQ(heard[2].column, 2);
  EXPECT_EQ(heard[3].kind, Kind::ScrolledTo);
  EXPECT_EQ(heard[4].kind, Kind::AllRowsDeleted);
}

TEST(ReportList, AppendsFromTwoThreadsStayWhole) {
  ReportList list = ThreeColumns();
  auto append = [&](const std::string& tag) {
    for (int i = 0; i < 5000; ++i) list.AppendRowWithCells({tag, tag, tag});
  };
  std::thread other(append, "b");
  append("a");
  other.join();
  const auto rows = list.Rows();
  ASSERT_EQ(rows.size(), 10000u);
  for (const auto& row : rows) EXPECT_TRUE(row[0] == row[1] && row[1] == row[2]);
}

TEST(RadioButton, CheckingOneClearsTheOthers) {
  auto group = std::make_shared<RadioGroup>();
  RadioButton all("all", "all", group, 0), taobao("taobao", "taobao", group, 1),
      tmall("tmall", "tmall", group, 2);
  EXPECT_FALSE(all.IsChecked() || taobao.IsChecked() || tmall.IsChecked());
  taobao.SetChecked(true);
  tmall.SetChecked(true);
  EXPECT_TRUE(tmall.IsChecked());
  EXPECT_FALSE(taobao.IsChecked());
  taobao.SetChecked(false);  // not checked: nothing changes
  EXPECT_TRUE(tmall.IsChecked());
  tmall.SetChecked(false);
  EXPECT_EQ(group->CheckedIndex(), -1);
}

TEST(PushButton, ADisabledButtonIgnoresClicks) {
  PushButton button("start", "start");
  int clicks = 0;
  EXPECT_FALSE(button.Click());  // no handler bound
  button.SetClickHandler([&] { ++clicks; });
  EXPECT_TRUE(button.Click());
  button.SetEnabled(false);
  EXPECT_FALSE(button.Click());
  EXPECT_EQ(clicks, 1);
}

TEST(SimpleControls, RangesAndNotifications) {
  DropDownList levels("levels", {"a", "b"});
  EXPECT_EQ(levels.SelectedIndex(), -1);
  levels.SetSelectedIndex(1);
  EXPECT_EQ(levels.SelectedIndex(), 1);
  levels.SetSelectedIndex(2);
  EXPECT_EQ(levels.SelectedIndex(), -1);

  StatusBar status("status", {"0", "1", "2"});
  std::vector<int> parts;
  status.PartChanged().Subscribe([&](int part) { parts.push_back(part); });
  status.SetStatusText(1, "count");
  status.SetStatusText(3, "ignored");
  status.SetStatusText(-1, "ignored");
  EXPECT_EQ(status.PartText(1), "count");
  EXPECT_EQ(status.PartText(3), "");
  EXPECT_EQ(parts, std::vector<int>{1});

  EditBox box("box", "initial");
  int changes = 0;
  const int id = box.Changed().Subscribe([&](const ControlChanged&) { ++changes; });
  box.SetText("initial");  // unchanged: nothing to tell
  box.SetText("new");
  box.Changed().Unsubscribe(id);
  box.SetText("newer");
  EXPECT_EQ(box.Text(), "newer");
  EXPECT_EQ(changes, 1);
}

}  // namespace
}  // namespace corvane::ui
