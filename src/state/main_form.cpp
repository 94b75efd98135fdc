#include "state/main_form.h"

#include <vector>

#include "text/charset.h"

namespace corvane::state {

namespace {

// The source is UTF-8; the program's texts are CP936.
std::string T(std::string_view utf8) {
  return text::Utf8ToCp936(utf8);
}

std::vector<std::string> ShopLevels() {
  std::vector<std::string> levels;
  for (const char* rank : {"心", "钻", "皇冠", "金冠"}) {
    for (const char* count : {"一", "二", "三", "四", "五"}) {
      levels.push_back(T(std::string(count) + rank));
    }
  }
  return levels;
}

std::vector<ui::ReportColumn> ResultListColumns() {
  return {{T("序号"), 50}, {T("商品标题"), 250}, {T("30天推广量"), 100}, {T("30天支出佣金"), 100},
          {T("单价"), 60}, {T("佣金"), 70},      {T("佣金比率"), 90},    {T("链接"), 220}};
}

}  // namespace

MainForm::MainForm()
    : caption(T("欢迎使用Corvane")),
      分组框_过滤(T("分组框_过滤"), T("过滤设置")),
      按钮_支出过滤(T("按钮_支出过滤"), T("支出过滤")),
      编辑框_佣金过滤4(T("编辑框_佣金过滤4"), ""),
      标签9(T("标签9"), "--"),
      编辑框_佣金过滤3(T("编辑框_佣金过滤3"), ""),
      按钮_佣金过滤(T("按钮_佣金过滤"), T("佣金过滤")),
      编辑框_佣金过滤2(T("编辑框_佣金过滤2"), ""),
      标签11(T("标签11"), "--"),
      编辑框_佣金过滤1(T("编辑框_佣金过滤1"), ""),
      分组框1(T("分组框1"), T("采集范围")),
      scopeGroup(std::make_shared<ui::RadioGroup>()),
      单选框_天猫(T("单选框_天猫"), T("天猫"), scopeGroup, 2),
      单选框_淘宝(T("单选框_淘宝"), T("淘宝"), scopeGroup, 1),
      单选框_所有的(T("单选框_所有的"), T("全部"), scopeGroup, 0),
      分组框2(T("分组框2"), T("采集参数设置")),
      组合框_店铺等级(T("组合框_店铺等级"), ShopLevels()),
      标签5(T("标签5"), T("店铺等级")),
      标签8(T("标签8"), T("佣金比率")),
      编辑框_佣金比例(T("编辑框_佣金比例"), "20"),
      标签2(T("标签2"), "%"),
      标签3(T("标签3"), T("页数")),
      编辑框_页数(T("编辑框_页数"), "3"),
      编辑框_推广数小(T("编辑框_推广数小"), "5"),
      标签4(T("标签4"), T("30天销量")),
      标签99(T("标签99"), T("价格范围")),
      编辑框_价格小(T("编辑框_价格小"), "30"),
      标签6(T("标签6"), "--"),
      编辑框_价格大(T("编辑框_价格大"), "888"),
      分组框3(T("分组框3"), T("过滤关键词设置")),
      按钮_在线获取(T("按钮_在线获取"), T("在线获取")),
      按钮_关键词过滤(T("按钮_关键词过滤"), T("关键词过滤")),
      编辑框_过滤关键词(T("编辑框_过滤关键词"), T("关键词之间用丨隔开"), true),
      分组框4(T("分组框4"), T("采集关键词设置")),
      编辑框_关键词(T("编辑框_关键词"), T("每行一个关键词"), true),
      超级列表框_采集宝贝(T("超级列表框_采集宝贝"), ResultListColumns()),
      按钮_开始采集(T("按钮_开始采集"), T("开始采集")),
      按钮_导出网址(T("按钮_导出网址"), T("导出网址")),
      状态条1(T("状态条1"), {T("无任务"), T("未采集到宝贝"), T("当前版本")}) {
  单选框_所有的.SetChecked(true);
}

}  // namespace corvane::state
