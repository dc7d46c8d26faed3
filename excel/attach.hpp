#pragma once

#include "common/desktop.hpp"
#include "excel/automation.hpp"
#include "excel/connector.hpp"

namespace quarnel {

// What a command runs against: the way to Excel and the desktop around the tool.
struct Host {
  excel::Connector& connector;
  Desktop& desktop;
};

}  // namespace quarnel

namespace 链接cad及excel {

// Process-wide, written only by AttachExcel, held until the program ends.
inline quarnel::excel::Object ExcelApp;
inline quarnel::excel::Object ExcelBook;
inline quarnel::excel::Object ExcelSheet;

// Finds the running Excel or starts one, makes it visible, fixes the workbook and sheet in front
// and brings Excel to the front. A failed step is passed over; only a failure to find or start
// Excel is shown, in a message box. When the Excel in front is there but cannot answer (busy), all
// three stand for it and fail every call as it did, and nothing is started. Throws only what is not
// Excel's answer (out of memory), as any call of a command may.
void AttachExcel(quarnel::Host& host);

// Lets go of all three: before the program leaves COM, or so that the next AttachExcel starts as
// the program does.
inline void ReleaseHandles() {
  ExcelSheet = {};
  ExcelBook = {};
  ExcelApp = {};
}

}  // namespace 链接cad及excel
