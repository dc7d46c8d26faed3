#include <cstdint>
#include <string>

#include "common/trace.hpp"
#include "snapshot/commands.hpp"
#include "snapshot/last_used.hpp"
#include "snapshot/paused_change.hpp"

namespace quarnel::snapshot {

using 链接cad及excel::AttachExcel;
using 链接cad及excel::Handles;

void ShowAllLines(Host& host, LastView& undo) {
  const Handles attached = AttachExcel(host);
  ChangeWithDrawingPaused(host, attached.ExcelApp, [&] {
    LastUsed lastUsed(attached.ExcelApp, attached.ExcelSheet);
    const std::int32_t lastRow = lastUsed.Row();
    const std::int32_t lastColumn = lastUsed.Column();
    TouchedLines touched;
    touched.Add({true, 1, lastRow});
    touched.Add({false, 1, lastColumn});
    try {
      undo = ReadView(attached.ExcelBook, attached.ExcelSheet, touched);
    } catch (const Failure& failure) {
      undo.reset();
      trace::PassedOver("showing all, reading what it changes", failure);
    }
    PutBack(attached.ExcelSheet, SavedView{{}, {}, {{1, lastRow, false}}, {{1, lastColumn, false}}});
  });
}

void UndoLastRestore(Host& host, LastView& undo) {
  if (!undo) return;
  const Handles attached = AttachExcel(host);
  const bool done = ChangeWithDrawingPaused(host, attached.ExcelApp, [&] {
    const std::string workbook = excel::ToText(attached.ExcelBook.Get("Name"));
    const std::string sheet = excel::ToText(attached.ExcelSheet.Get("Name"));
    if (workbook != undo->workbook || sheet != undo->sheet) {
      throw errors::Catalogued(errors::kUndoElsewhere, errors::Worded(errors::Words::LastRestoredSheet,
                                                                      {undo->workbook, undo->sheet}));
    }
    PutBack(attached.ExcelSheet, *undo);
  });
  if (done) undo.reset();
}

}  // namespace quarnel::snapshot
