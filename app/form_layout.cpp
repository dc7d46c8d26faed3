#include "app/form_layout.hpp"

namespace quarnel::app {
namespace {

constexpr int kGb2312Charset = 134;

constexpr FormDef kForm1{
    "Quarnel",
    4440,
    915,
    {{
        {"Command1",
         ControlKind::Button,
         "隐藏行",
         "选择任意单元格隐藏该行",
         {120, 50, 975, 375},
         0,
         Button::Command1},
        {"Command2",
         ControlKind::Button,
         "隐藏列",
         "选择任意单元格隐藏该列",
         {1200, 50, 975, 375},
         1,
         Button::Command2},
        {"Command3",
         ControlKind::Button,
         "记录状态",
         "保存当前表格Quarnel状态",
         {2280, 50, 975, 375},
         2,
         Button::Command3},
        {"Command4", ControlKind::Button, "恢复状态", "读取文件", {2280, 480, 975, 375}, 3, Button::Command4},
        {"Text1", ControlKind::TextBox, " ", "文件名备注", {3360, 50, 975, 375}, 4, std::nullopt},
        {"Command5", ControlKind::Button, "退出", "", {3360, 480, 975, 375}, 5, Button::Command5},
        {"Command6",
         ControlKind::Button,
         "不隐藏行",
         "选择被隐藏行上面一行的任意单元格",
         {120, 480, 975, 375},
         6,
         Button::Command6},
        {"Command7",
         ControlKind::Button,
         "不隐藏列",
         "选择被隐藏列左侧一列任意单元格",
         {1200, 480, 975, 375},
         7,
         Button::Command7},
    }},
    {"宋体", 105, 400, kGb2312Charset},
};

}  // namespace

const FormDef& Form1Definition() { return kForm1; }

const ControlDef* FindControl(std::string_view name) {
  for (const auto& control : kForm1.controls) {
    if (control.name == name) return &control;
  }
  return nullptr;
}

std::int32_t TwipsToPixels(std::int32_t twips, std::int32_t dpi) {
  const std::int64_t scaled = static_cast<std::int64_t>(twips) * dpi;
  const std::int64_t half = scaled >= 0 ? 720 : -720;
  return static_cast<std::int32_t>((scaled + half) / 1440);
}

}  // namespace quarnel::app
