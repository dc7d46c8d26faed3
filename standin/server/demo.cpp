#include "standin/server/demo.hpp"

#include <array>
#include <string>

namespace quarnel::standin::server {

void SetUpDemo(Model& model) {
  model.AddWorkbook(kDemoWorkbook);
  const std::array<const char*, 8> headings = {"编号", "名称", "类别", "数量",
                                               "单价", "金额", "日期", "备注"};
  for (std::int32_t column = 1; column <= 8; ++column)
    model.SetCell(1, column, std::string(headings[column - 1]));
  const std::array<const char*, 3> kinds = {"甲类", "乙类", "丙类"};
  for (std::int32_t row = 2; row <= 30; ++row) {
    const std::int32_t n = row - 1;
    const double quantity = (n * 7) % 23 + 1;
    const double price = 2.5 * ((n * 3) % 11 + 1);
    model.SetCell(row, 1, n);
    model.SetCell(row, 2, "项目" + std::to_string(n));
    model.SetCell(row, 3, std::string(kinds[static_cast<std::size_t>(n % 3)]));
    model.SetCell(row, 4, quantity);
    model.SetCell(row, 5, price);
    model.SetCell(row, 6, quantity * price);
    model.SetCell(row, 7, "2024-03-" + std::string(n < 10 ? "0" : "") + std::to_string(n));
    if (n % 7 == 0) model.SetCell(row, 8, std::string("待复核"));
  }
  model.SetRowsHidden(5, 5, true);
  model.SetRowsHidden(12, 13, true);
  model.SetColumnsHidden(7, 7, true);
  model.Select(3, 2, 3, 2);
  model.SetVisible(true);
}

}  // namespace quarnel::standin::server
