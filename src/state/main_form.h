// The main window's controls as models, with their given names and initial contents. The Qt
// window and the headless collector both show this form; the collection, the filter and the
// export work on it. Member names are the controls' own names.
#pragma once

#include <memory>
#include <string>

#include "ui/controls.h"
#include "ui/report_list.h"

namespace corvane::state {

// Status bar parts.
inline constexpr int kStatusTask = 0;
inline constexpr int kStatusCount = 1;
inline constexpr int kStatusVersion = 2;

// Result list columns.
inline constexpr int kColumnSequence = 0;
inline constexpr int kColumnTitle = 1;
inline constexpr int kColumnLink = 7;

class MainForm {
 public:
  MainForm();
  MainForm(const MainForm&) = delete;
  MainForm& operator=(const MainForm&) = delete;

  const std::string caption;  // the window caption

  ui::GroupBox 分组框_过滤;
  ui::PushButton 按钮_支出过滤;
  ui::EditBox 编辑框_佣金过滤4;
  ui::Label 标签9;
  ui::EditBox 编辑框_佣金过滤3;
  ui::PushButton 按钮_佣金过滤;
  ui::EditBox 编辑框_佣金过滤2;
  ui::Label 标签11;
  ui::EditBox 编辑框_佣金过滤1;

  ui::GroupBox 分组框1;
  std::shared_ptr<ui::RadioGroup> scopeGroup;
  ui::RadioButton 单选框_天猫;
  ui::RadioButton 单选框_淘宝;
  ui::RadioButton 单选框_所有的;

  ui::GroupBox 分组框2;
  ui::DropDownList 组合框_店铺等级;
  ui::Label 标签5;
  ui::Label 标签8;
  ui::EditBox 编辑框_佣金比例;
  ui::Label 标签2;
  ui::Label 标签3;
  ui::EditBox 编辑框_页数;
  ui::EditBox 编辑框_推广数小;
  ui::Label 标签4;
  ui::Label 标签99;
  ui::EditBox 编辑框_价格小;
  ui::Label 标签6;
  ui::EditBox 编辑框_价格大;

  ui::GroupBox 分组框3;
  ui::PushButton 按钮_在线获取;
  ui::PushButton 按钮_关键词过滤;
  ui::EditBox 编辑框_过滤关键词;

  ui::GroupBox 分组框4;
  ui::EditBox 编辑框_关键词;

  ui::ReportList 超级列表框_采集宝贝;
  ui::PushButton 按钮_开始采集;
  ui::PushButton 按钮_导出网址;
  ui::StatusBar 状态条1;
};

}  // namespace corvane::state
