#include "engine/result_rows.h"

#include <gtest/gtest.h>

#include "support/answer_builder.h"
#include "text/charset.h"

namespace corvane::engine {
namespace {

using testing::AnswerItem;
using testing::AnswerText;
using testing::DistinctItems;
using text::Utf8ToCp936;

TEST(CleanTitle, RemovesOnlyTheExactHighlightMarkup) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"<span class=H>连衣裙</span>夏", "连衣裙夏"},
      {"<SPAN class=H>连衣裙</SPAN>夏", "<SPAN class=H>连衣裙</SPAN>夏"},
      {"<span class=h>a</span>", "<span class=h>a"},
      {"<b>a</b><span class=H>b</span>", "<b>a</b>b"},
      {"", ""},
  };
  for (const auto& [raw, clean] : cases) {
    EXPECT_EQ(CleanTitle(Utf8ToCp936(raw)), Utf8ToCp936(clean)) << raw;
  }
}

TEST(TitleMatchesFilter, SplitsAtBarsOnCharacterBoundaries) {
  struct Case {
    std::string title, filter;
    bool matches;
  };
  const auto T = [](const char* utf8) { return Utf8ToCp936(utf8); };
  const std::vector<Case> cases = {
      {"abc", "", false},    // no keywords
      {"abc", "x|b", true},  // second keyword
      {"abc", "x|y", false},
      {"abc", "|x", true},    // a leading bar gives an empty keyword
      {"", "|x", false},      // ... which matches no empty title
      {"abc", "x||y", true},  // so does a doubled bar
      {"abc", "abc|", true},  // a trailing bar adds nothing
      {"xyz", "abc|", false},
      {"ABC", "abc", false},  // case-sensitive
      // "丨" is a CJK character, not a separator: one keyword.
      {"a", T("a丨b"), false},
      {T("xa丨by"), T("a丨b"), true},
      // 连衣: the bytes AC D2 straddle the two characters and do not match.
      {T("连衣"), "\xAC\xD2", false},
      // B0 7C is one character whose trail byte is "|": no split inside it.
      {"\xB0\x7C", "\xB0\x7C", true},
      {"x", "\xB0\x7C", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TitleMatchesFilter(c.title, c.filter), c.matches)
        << "title " << c.title << " filter " << c.filter;
  }
}

class AppendResultRowsTest : public ::testing::Test {
 protected:
  void SetUp() override { form.编辑框_过滤关键词.SetText(""); }

  ui::ReportList& list() { return form.超级列表框_采集宝贝; }

  void Append(const std::string& answer) { AppendResultRows(answer, state, form); }

  // The mirrors equal columns 1 to 7 of the list.
  void ExpectColumnsMirrorList() {
    for (int c = 0; c < state::kResultColumnCount; ++c) {
      EXPECT_EQ(state.resultColumns[c], list().ColumnTexts(c + 1)) << "column " << c + 1;
    }
  }

  state::SharedState state;
  state::MainForm form;
};

TEST_F(AppendResultRowsTest, AppendsNumberedRowsWithTheFieldsAsGiven) {
  std::vector<AnswerItem> items = DistinctItems(2);
  items[0].tkRate = "30.5";
  items[1].tkRate = "5.50";
  items[1].zkPrice = "56.00";
  items[1].auctionUrl = "http://item.example.com/item.htm?id=1&a=%41";
  Append(AnswerText(items, "7"));

  ASSERT_EQ(list().RowCount(), 2);
  EXPECT_EQ(state.totalPagesText, "7");
  const auto rows = list().Rows();
  EXPECT_EQ(rows[0][0], "1");
  EXPECT_EQ(rows[1][0], "2");
  EXPECT_EQ(rows[0][1], Utf8ToCp936("连衣裙2026新款夏季女装韩版修身显瘦中长款雪纺碎花裙子 款0"));
  EXPECT_EQ(rows[0][2], "120");
  EXPECT_EQ(rows[0][3], "45.6");
  EXPECT_EQ(rows[0][6], "30.5");
  EXPECT_EQ(rows[1][4], "56");
  EXPECT_EQ(rows[1][6], "5.5");
  EXPECT_EQ(rows[1][7], "http://item.example.com/item.htm?id=1&a=%41");
  ExpectColumnsMirrorList();
}

TEST_F(AppendResultRowsTest, LeavesOutRepeatsAndFilteredTitlesAndNumbersOn) {
  // A first answer of 5 rows; then 40 items of which 3 repeat (two within the answer, one from
  // the first answer) and 2 match the filter keywords.
  Append(AnswerText(DistinctItems(5, 0)));
  ASSERT_EQ(list().RowCount(), 5);

  std::vector<AnswerItem> items = DistinctItems(40, 100);
  items[10].title = items[3].title;
  items[20].title = items[3].title;
  items[30].title = DistinctItems(1, 2)[0].title;
  items[0].title = "二手 " + items[0].title;
  items[39].title = items[39].title + "高仿";
  items[20].auctionUrl = "http://item.example.com/other";  // a repeat even with another link
  form.编辑框_过滤关键词.SetText(Utf8ToCp936("二手|高仿"));
  Append(AnswerText(items));

  ASSERT_EQ(list().RowCount(), 40);
  for (int r = 0; r < 40; ++r) EXPECT_EQ(list().Cell(r, 0), std::to_string(r + 1));
  EXPECT_EQ(list().Cell(5, 1), CleanTitle(Utf8ToCp936(items[1].title)));
  ExpectColumnsMirrorList();
}

TEST_F(AppendResultRowsTest, AFilteredTitleIsStillSeen) {
  std::vector<AnswerItem> items = DistinctItems(1);
  form.编辑框_过滤关键词.SetText(Utf8ToCp936("连衣裙"));
  Append(AnswerText(items));
  EXPECT_EQ(list().RowCount(), 0);
  form.编辑框_过滤关键词.SetText("");
  Append(AnswerText(items));
  EXPECT_EQ(list().RowCount(), 0);
  EXPECT_EQ(state.seenItems.Size(), 1u);
}

TEST_F(AppendResultRowsTest, OnlyTheFirstTitlelessItemBecomesARow) {
  std::vector<AnswerItem> items(3);
  items[2].title = "x";
  Append(AnswerText(items));
  ASSERT_EQ(list().RowCount(), 2);
  EXPECT_EQ(list().Cell(0, 1), "");
  EXPECT_EQ(list().Cell(1, 1), "x");
}

TEST_F(AppendResultRowsTest, AnswersWithoutItems) {
  struct Case {
    const char* name;
    std::string answer;
    std::string pages;
  };
  const std::vector<Case> cases = {
      {"null pageList keeps its pages", AnswerText({}, "3", true), "3"},
      {"empty pageList", AnswerText({}, "4"), "4"},
      {"no paginator", AnswerText({}, ""), ""},
      {"empty text", "", ""},
      {"not JSON", "<html>busy</html>", ""},
      {"failure shape", R"({"data":{"paginator":null,"pageList":null},"ok":false})", ""},
      {"truncated", AnswerText(DistinctItems(3), "9").substr(0, 900), ""},
  };
  for (const auto& c : cases) {
    state.totalPagesText = "stale";
    Append(c.answer);
    EXPECT_EQ(list().RowCount(), 0) << c.name;
    EXPECT_EQ(state.totalPagesText, c.pages) << c.name;
  }
}

TEST_F(AppendResultRowsTest, RebuildsTheMirrorsWhenTheListChangedBehindThem) {
  Append(AnswerText(DistinctItems(3)));
  list().DeleteAllRows();
  list().AppendRowWithCells({"1", "kept", "", "", "", "", "", "link"});
  Append(AnswerText(DistinctItems(2, 50)));
  ASSERT_EQ(list().RowCount(), 3);
  EXPECT_EQ(list().Cell(2, 0), "3");
  ExpectColumnsMirrorList();
}

TEST(SnapshotResultColumns, CopiesColumnsOneToSeven) {
  ui::ReportList list("list", std::vector<ui::ReportColumn>(8));
  list.AppendRowWithCells({"1", "t1", "a", "b", "c", "d", "e", "l1"});
  list.AppendRowWithCells({"2", "t2", "", "", "", "", "", "l2"});
  state::ResultColumns columns;
  columns[0] = {"old"};
  SnapshotResultColumns(columns, list);
  EXPECT_EQ(columns[0], (std::vector<std::string>{"t1", "t2"}));
  EXPECT_EQ(columns[6], (std::vector<std::string>{"l1", "l2"}));
  for (const auto& column : columns) EXPECT_EQ(column.size(), 2u);
}

}  // namespace
}  // namespace corvane::engine
