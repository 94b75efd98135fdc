#include <gtest/gtest.h>

#include "state/main_form.h"
#include "state/seen_item_set.h"
#include "text/charset.h"

namespace corvane::state {
namespace {

using text::Utf8ToCp936;

TEST(MainForm, OpensWithItsInitialContents) {
  MainForm form;
  EXPECT_TRUE(form.单选框_所有的.IsChecked());
  EXPECT_FALSE(form.单选框_淘宝.IsChecked());
  EXPECT_FALSE(form.单选框_天猫.IsChecked());
  EXPECT_EQ(form.编辑框_佣金比例.Text(), "20");
  EXPECT_EQ(form.编辑框_页数.Text(), "3");
  EXPECT_EQ(form.编辑框_推广数小.Text(), "5");
  EXPECT_EQ(form.编辑框_价格小.Text(), "30");
  EXPECT_EQ(form.编辑框_价格大.Text(), "888");
  EXPECT_EQ(form.编辑框_关键词.Text(), Utf8ToCp936("每行一个关键词"));
  EXPECT_EQ(form.组合框_店铺等级.SelectedIndex(), -1);
  ASSERT_EQ(form.组合框_店铺等级.Items().size(), 20u);
  EXPECT_EQ(form.组合框_店铺等级.Items()[0], Utf8ToCp936("一心"));
  EXPECT_EQ(form.组合框_店铺等级.Items()[9], Utf8ToCp936("五钻"));
  EXPECT_EQ(form.组合框_店铺等级.Items()[19], Utf8ToCp936("五金冠"));
  EXPECT_TRUE(form.按钮_开始采集.IsEnabled());
  EXPECT_EQ(form.状态条1.PartCount(), 3);
  EXPECT_EQ(form.超级列表框_采集宝贝.RowCount(), 0);
  ASSERT_EQ(form.超级列表框_采集宝贝.ColumnCount(), 8);
  EXPECT_EQ(form.超级列表框_采集宝贝.Columns()[7].title, Utf8ToCp936("链接"));
  EXPECT_EQ(form.按钮_开始采集.Name(), Utf8ToCp936("按钮_开始采集"));
  form.单选框_天猫.SetChecked(true);
  EXPECT_FALSE(form.单选框_所有的.IsChecked());
}

TEST(SeenItemSet, AddsOnceAndListsInOrder) {
  SeenItemSet seen;
  EXPECT_TRUE(seen.Add("b"));
  EXPECT_TRUE(seen.Add("a"));
  EXPECT_TRUE(seen.Add(""));
  EXPECT_FALSE(seen.Add("b"));
  EXPECT_FALSE(seen.Add(""));
  EXPECT_TRUE(seen.Add("B"));  // byte for byte
  EXPECT_EQ(seen.Keys(), (std::vector<std::string>{"b", "a", "", "B"}));
  seen.Remove("a");
  EXPECT_FALSE(seen.Contains("a"));
  EXPECT_TRUE(seen.Add("a"));
  EXPECT_EQ(seen.Keys().back(), "a");
  seen.Clear();
  EXPECT_EQ(seen.Size(), 0u);
}

}  // namespace
}  // namespace corvane::state
