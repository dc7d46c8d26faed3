#pragma once

#include "excel/automation.hpp"
#include "excel/host.hpp"

// The name means "link CAD and Excel": the module that finds Excel and what is in front of it.
namespace 链接cad及excel {

// What a command works on: Excel, and the workbook and worksheet in front. The command owns them
// and lets go of them when it ends, whatever the outcome: an Excel its user closes must be free to
// end, and every click attaches afresh anyway.
struct Handles {
  quarnel::excel::Object ExcelApp;
  quarnel::excel::Object ExcelBook;
  quarnel::excel::Object ExcelSheet;
};

// Finds the running Excel or starts one, makes it visible, fixes the workbook and sheet in front
// and brings Excel to the front. A failed step is passed over and leaves its handle empty; only a
// failure to find or start Excel is shown, in a message box. When the Excel in front is there but
// cannot answer (busy), all three stand for it and fail every call as it did, and nothing is
// started. Throws Refusal when Excel's window in front shows a file in Protected View, before
// anything is changed or added; otherwise only what is not Excel's answer (out of memory), as any
// call of a command may.
Handles AttachExcel(quarnel::Host& host);

}  // namespace 链接cad及excel
