#pragma once

#include "excel/attach.hpp"

// Hide or show one entire row or column of the sheet in front, chosen by Excel's selection.
// Failures are not caught here: the click dispatch reports them.
namespace quarnel::visibility {

void HideRow(Host& host);
void HideColumn(Host& host);
void UnhideRowBelow(Host& host);
void UnhideColumnRight(Host& host);

}  // namespace quarnel::visibility
