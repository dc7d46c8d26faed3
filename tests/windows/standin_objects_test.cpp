#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "excel/win32/com.hpp"
#include "excel/win32/dispatch.hpp"
#include "standin/server/application_object.hpp"
#include "standin/server/dispids.hpp"
#include "standin/server/session.hpp"
#include "standin/server/window_object.hpp"
//
#include <oleacc.h>

#include "standin_raw_call.hpp"
#include "support/failure_number.hpp"

namespace quarnel::standin::server {
namespace {

using quarnel::test_support::FailureNumber;

using excel::Object;
using excel::Value;
using Microsoft::WRL::ComPtr;
using namespace std::chrono_literals;

// The server's objects called in-process: what COM passes through unchanged between processes.

class StandinObjects : public ::testing::Test {
 protected:
  // What a workbook window of `book` hands out for OBJID_NATIVEOM, taken as a client takes it.
  ComPtr<IDispatch> WindowObjectOf(std::string_view book) const {
    const auto answer = NativeObjectAnswer(*session, session->model.Workbook(book), 0, OBJID_NATIVEOM);
    ComPtr<IDispatch> window;
    if (answer) ObjectFromLresult(*answer, IID_IDispatch, 0, reinterpret_cast<void**>(window.GetAddressOf()));
    return window;
  }

  win32::ComInit com;
  std::shared_ptr<Session> session = std::make_shared<Session>();
  ComPtr<IDispatch> raw = MakeApplicationObject(session);
  // No retries: a busy answer shows at once.
  Object app = win32::WrapDispatch(raw.Get(), win32::BusyRetry{0ms, 0ms});
};

TEST_F(StandinObjects, StartsAsAutomatedExcelDoesWithNothingInFront) {
  EXPECT_FALSE(excel::ToBool(app.Get("Visible")));
  EXPECT_EQ(excel::ToLong(app.GetObject("Workbooks").Get("Count")), 0);
  // Nothing, not Empty, so a client can test it with Is Nothing.
  const auto answer = RawCall(raw.Get(), IdOf(raw.Get(), L"ActiveWorkbook"), DISPATCH_PROPERTYGET);
  ASSERT_EQ(answer->hr, S_OK);
  EXPECT_EQ(V_VT(&answer->result.Get()), VT_DISPATCH);
  EXPECT_EQ(V_DISPATCH(&answer->result.Get()), nullptr);
}

TEST_F(StandinObjects, NamesShareOneNumberingWhateverTheirCaseOrObject) {
  const Object workbooks = app.GetObject("Workbooks");
  const DISPID count = IdOf(raw.Get(), L"Count");
  EXPECT_EQ(IdOf(RawOf(workbooks), L"COUNT"), count);
  EXPECT_NE(IdOf(raw.Get(), L"Rows"), count);
  EXPECT_EQ(IdOf(raw.Get(), L"_Default"), DISPID_VALUE);

  // Excel's members take no named arguments.
  LPOLESTR names[] = {const_cast<LPOLESTR>(L"Add"), const_cast<LPOLESTR>(L"Template")};
  DISPID ids[2] = {};
  EXPECT_EQ(RawOf(workbooks)->GetIDsOfNames(IID_NULL, names, 2, LOCALE_USER_DEFAULT, ids),
            DISP_E_UNKNOWNNAME);
  EXPECT_EQ(ids[1], DISPID_UNKNOWN);
  EXPECT_EQ(RawCall(raw.Get(), 0x7FFF0000, DISPATCH_PROPERTYGET)->hr, DISP_E_MEMBERNOTFOUND);
}

TEST_F(StandinObjects, ArgumentsArriveInOrderByValueByReferenceAndAsObjects) {
  app.GetObject("Workbooks").Call("Add");
  IDispatch* block = RawOf(app.GetObject("Range", {std::string("B2:C3")}));
  const DISPID value = IdOf(block, L"Value");

  // A put names its value DISPID_PROPERTYPUT; a get may not name any argument.
  EXPECT_EQ(RawCall(block, value, DISPATCH_PROPERTYPUT, {Long(7)}, {DISPID_PROPERTYPUT})->hr, S_OK);
  EXPECT_EQ(session->model.Cell(3, 3), Value(7.0));
  EXPECT_EQ(RawCall(block, value, DISPATCH_PROPERTYGET, {Long(7)}, {DISPID_PROPERTYPUT})->hr,
            DISP_E_NONAMEDARGS);

  // Cells(2, "C") with the row by reference and the column as a referenced VARIANT holding text.
  std::int32_t row = 2;
  VARIANT column;
  VariantInit(&column);
  V_VT(&column) = VT_BSTR;
  V_BSTR(&column) = SysAllocString(L"C");
  VARIANT rowRef;
  V_VT(&rowRef) = VT_BYREF | VT_I4;
  V_I4REF(&rowRef) = reinterpret_cast<LONG*>(&row);
  VARIANT columnRef;
  V_VT(&columnRef) = VT_BYREF | VT_VARIANT;
  V_VARIANTREF(&columnRef) = &column;
  auto cell = RawCall(raw.Get(), IdOf(raw.Get(), L"Cells"), DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                      {columnRef, rowRef});
  VariantClear(&column);
  ASSERT_EQ(cell->hr, S_OK);
  ASSERT_EQ(V_VT(&cell->result.Get()), VT_DISPATCH);
  EXPECT_EQ(win32::WrapDispatch(V_DISPATCH(&cell->result.Get())).Get("Value"), Value(7.0));

  // Objects handed back to the server are the model's own again, so Range(cell, cell) works.
  const Object corner =
      app.GetObject("Range", {app.GetObject("Cells", {1, 1}), app.GetObject("Cells", {3, 2})});
  EXPECT_EQ(excel::ToText(corner.Get("Address")), "$A$1:$B$3");
}

TEST_F(StandinObjects, FailuresTravelAsExcelReportsThem) {
  app.GetObject("Workbooks").Call("Add");
  const DISPID columns = IdOf(raw.Get(), L"Columns");

  const auto bad = RawCall(raw.Get(), columns, DISPATCH_METHOD | DISPATCH_PROPERTYGET, {Long(0)});
  EXPECT_EQ(bad->hr, DISP_E_EXCEPTION);
  EXPECT_EQ(bad->info.Get().scode, kExcel1004);
  EXPECT_EQ(bad->info.Get().wCode, 0);
  EXPECT_EQ(bad->Source(), "Microsoft Excel");
  EXPECT_EQ(bad->Description(), kApplicationDefinedText);
  // A caller that wants no EXCEPINFO gets the code itself.
  EXPECT_EQ(RawCall(raw.Get(), columns, DISPATCH_METHOD, {Long(0)}, {}, false)->hr, kExcel1004);

  EXPECT_EQ(RawCall(raw.Get(), IdOf(raw.Get(), L"Frobnicate"), DISPATCH_METHOD)->info.Get().scode,
            static_cast<HRESULT>(0x800A01B6));

  // Numbers that are HRESULTs already go as they are.
  app.Call("StandinFailCall", {std::string("Name"), 1, -2147221080, std::string("自动化错误")});
  const Object book = app.GetObject("ActiveWorkbook");
  const auto gone = RawCall(RawOf(book), IdOf(RawOf(book), L"Name"), DISPATCH_PROPERTYGET);
  EXPECT_EQ(gone->hr, DISP_E_EXCEPTION);
  EXPECT_EQ(gone->info.Get().scode, static_cast<HRESULT>(0x800401A8));
  EXPECT_EQ(gone->Description(), "自动化错误");
}

TEST_F(StandinObjects, BusyRejectsEveryCallButTheServersOwn) {
  const DISPID caption = IdOf(raw.Get(), L"Caption");
  app.Call("StandinSetBusy", {true});

  EXPECT_EQ(NameAnswer(raw.Get(), L"Visible"), RPC_E_CALL_REJECTED);
  // As COM rejects it, not as an exception from Excel.
  EXPECT_EQ(RawCall(raw.Get(), caption, DISPATCH_PROPERTYGET)->hr, RPC_E_CALL_REJECTED);
  EXPECT_EQ(FailureNumber([&] { app.Get("Caption"); }), static_cast<std::int32_t>(RPC_E_CALL_REJECTED));

  // The server's own members still answer, and saw every rejected call.
  EXPECT_EQ(excel::ToText(app.Get("StandinCounters")), "getidsofnames=3;invoke=1");
  app.Call("StandinSetBusy", {false});
  EXPECT_EQ(excel::ToText(app.Get("Caption")), "Microsoft Excel");
}

TEST_F(StandinObjects, CountersCountComCallsApartAndLeaveTheServersOwnOut) {
  app.Call("StandinResetCounters");
  const DISPID caption = IdOf(raw.Get(), L"Caption");
  RawCall(raw.Get(), caption, DISPATCH_PROPERTYGET);
  RawCall(raw.Get(), caption, DISPATCH_PROPERTYGET);
  // Failed and rejected calls are answered calls too.
  RawCall(raw.Get(), IdOf(raw.Get(), L"Frobnicate"), DISPATCH_METHOD);
  app.Call("StandinSetBusy", {true});
  RawCall(raw.Get(), caption, DISPATCH_PROPERTYGET);
  app.Call("StandinSetBusy", {false});

  EXPECT_EQ(excel::ToText(app.Get("StandinCounters")), "getidsofnames=2;invoke=4");
  EXPECT_EQ(excel::ToText(app.Get("StandinCounters")), "getidsofnames=2;invoke=4");
  EXPECT_EQ(excel::ToLong(app.Get("StandinGetIDsOfNamesCount")), 2);
  EXPECT_EQ(excel::ToLong(app.Get("StandinInvokeCount")), 4);
  EXPECT_EQ(excel::ToLong(app.Call("StandinCalls", {std::string("CAPTION")})), 3);

  app.Call("StandinResetCounters");
  EXPECT_EQ(excel::ToText(app.Get("StandinCounters")), "getidsofnames=0;invoke=0");
  EXPECT_EQ(excel::ToLong(app.Get("StandinTotalCalls")), 0);
}

TEST_F(StandinObjects, SetUpMembersCheckTheirArguments) {
  // No sheet to ask about yet.
  EXPECT_EQ(FailureNumber([&] { app.Call("StandinIsRowHidden", {1}); }), 1004);
  app.GetObject("Workbooks").Call("Add");
  app.GetObject("Rows", {std::string("4:6")}).Put("Hidden", true);
  EXPECT_TRUE(excel::ToBool(app.Call("StandinIsRowHidden", {5})));
  EXPECT_FALSE(excel::ToBool(app.Call("StandinIsRowHidden", {7})));
  EXPECT_FALSE(excel::ToBool(app.Call("StandinIsColumnHidden", {5})));
  EXPECT_EQ(FailureNumber([&] { app.Call("StandinIsRowHidden", {0}); }), 1004);
  EXPECT_EQ(FailureNumber([&] { app.Call("StandinIsColumnHidden", {16385}); }), 1004);
  EXPECT_EQ(FailureNumber([&] {
              app.Call("StandinFailCall", {std::string("Row"), 0, 5, std::string("x")});
            }),
            1004);
  EXPECT_EQ(FailureNumber([&] { app.Call("StandinSetBusy"); }), 449);
  EXPECT_EQ(FailureNumber([&] { app.Call("StandinNoSuchThing"); }), 438);
  EXPECT_EQ(FailureNumber([&] { app.Put("StandinSetBusy", true); }), 438);
  EXPECT_EQ(FailureNumber([&] { app.Call("StandinHangFor", {-1}); }), 1004);
  EXPECT_EQ(FailureNumber([&] { app.Call("StandinSlowFor", {100}); }), 449);
  EXPECT_EQ(FailureNumber([&] { app.Call("StandinLcidOnly", {-5}); }), 1004);
  EXPECT_EQ(FailureNumber([&] { app.Call("StandinClassicTitles"); }), 449);
  EXPECT_EQ(FailureNumber([&] { app.Call("StandinWindow", {1}); }), 450);
  EXPECT_EQ(FailureNumber([&] { app.Call("StandinFrame", {std::string("Nope.xlsx")}); }), 1004);
  // Without windows there is no frame to name.
  EXPECT_EQ(app.Call("StandinFrame", {std::string("BOOK1")}), Value(0));
}

TEST_F(StandinObjects, EndPassesHiddenRowsUnlessSwitchedAndCountATakesARangeAsAnObject) {
  app.GetObject("Workbooks").Call("Add");
  app.GetObject("Range", {std::string("A1:A5")}).Put("Value", std::string("x"));
  app.GetObject("Rows", {std::string("4:5")}).Put("Hidden", true);
  const auto end = [&] { return app.GetObject("Cells", {65536, 1}).GetObject("End", {-4162}).Get("Row"); };
  EXPECT_EQ(end(), Value(3));
  app.Call("StandinEndSeesHidden", {true});
  EXPECT_EQ(end(), Value(5));
  const Object column = app.GetObject("Range", {std::string("A2:A65536")});
  EXPECT_EQ(app.GetObject("WorksheetFunction").Call("CountA", {column}), Value(4.0));
}

TEST_F(StandinObjects, VisibleCellsComeInAreasUpToTheLimitAndMergedBlocksAreNamedByAddress) {
  app.GetObject("Workbooks").Call("Add");
  app.GetObject("Rows", {std::string("2:2")}).Put("Hidden", true);
  app.GetObject("Rows", {std::string("4:4")}).Put("Hidden", true);
  const Object range = app.GetObject("Range", {std::string("A1:A5")});
  const auto areas = [&] { return range.GetObject("SpecialCells", {12}).GetObject("Areas").Get("Count"); };
  EXPECT_EQ(areas(), Value(3));
  EXPECT_EQ(range.Get("Height"), Value(45.0));
  app.Call("StandinAreasLimit", {2});
  EXPECT_EQ(areas(), Value(1));
  EXPECT_EQ(FailureNumber([&] { app.Call("StandinAreasLimit", {-1}); }), 1004);
  EXPECT_EQ(range.Get("MergeCells"), Value(false));
  app.Call("StandinMerge", {std::string("A1:A3")});
  // Excel's Null for a range partly merged.
  IDispatch* block = RawOf(range);
  EXPECT_EQ(V_VT(&RawCall(block, IdOf(block, L"MergeCells"), DISPATCH_PROPERTYGET)->result.Get()), VT_NULL);
  EXPECT_EQ(FailureNumber([&] { app.Call("StandinMerge", {std::string("nowhere")}); }), 1004);
  // No visible cell in a hidden row, away from the merged block.
  const Object hidden = app.GetObject("Range", {std::string("C2:D2")});
  EXPECT_EQ(FailureNumber([&] { hidden.GetObject("SpecialCells", {12}); }), 1004);
}

// GetIDsOfNames, and Invoke as a get, both in `locale`.
std::pair<HRESULT, HRESULT> AnswersIn(IDispatch* target, const wchar_t* member, LCID locale) {
  const HRESULT named = NameAnswer(target, member, locale);
  DISPPARAMS none{};
  win32::Variant result;
  const HRESULT invoked = target->Invoke(DispIdOf(win32::ToUtf8(member)), IID_NULL, locale,
                                         DISPATCH_PROPERTYGET, &none, result.Out(), nullptr, nullptr);
  return {named, invoked};
}

TEST_F(StandinObjects, InAnotherLocaleOnlyTheServersOwnMembersAnswer) {
  app.GetObject("Workbooks").Call("Add");
  IDispatch* book = RawOf(app.GetObject("ActiveWorkbook"));
  const ComPtr<IDispatch> window = WindowObjectOf("Book1");
  app.Call("StandinLcidOnly", {1033});
  const struct {
    IDispatch* target;
    const wchar_t* member;
    LCID locale;
    HRESULT answer;
  } cases[] = {{raw.Get(), L"Caption", LOCALE_USER_DEFAULT, TYPE_E_INVDATAREAD},
               {raw.Get(), L"Caption", 1033, S_OK},
               {book, L"Name", 2052, TYPE_E_INVDATAREAD},
               {window.Get(), L"Caption", LOCALE_SYSTEM_DEFAULT, TYPE_E_INVDATAREAD},
               {window.Get(), L"Caption", 1033, S_OK},
               {raw.Get(), L"StandinCounters", LOCALE_USER_DEFAULT, S_OK}};
  for (const auto& c : cases) {
    EXPECT_EQ(AnswersIn(c.target, c.member, c.locale), std::pair(c.answer, c.answer))
        << win32::ToUtf8(c.member) << " in " << c.locale;
  }
  // A busy Excel's message filter turns the call away before the language is looked at.
  app.Call("StandinSetBusy", {true});
  EXPECT_EQ(AnswersIn(raw.Get(), L"Caption", LOCALE_USER_DEFAULT),
            std::pair(RPC_E_CALL_REJECTED, RPC_E_CALL_REJECTED));
  app.Call("StandinSetBusy", {false});
  app.Call("StandinLcidOnly", {0});
  EXPECT_EQ(AnswersIn(raw.Get(), L"Caption", LOCALE_USER_DEFAULT), std::pair(S_OK, S_OK));
}

TEST_F(StandinObjects, QuitShutsTheServerDownOnceAfterTheCallReturns) {
  int quits = 0;
  session->quit = [&] { ++quits; };
  app.Call("StandinQuitAtCall", {std::string("Visible"), 2});
  app.Get("Visible");
  EXPECT_EQ(quits, 0);
  // The armed call finds Excel gone, as a client of a vanished server does.
  EXPECT_EQ(RawCall(raw.Get(), IdOf(raw.Get(), L"Visible"), DISPATCH_PROPERTYGET)->hr, RPC_E_DISCONNECTED);
  EXPECT_EQ(quits, 1);
  EXPECT_EQ(RawCall(raw.Get(), IdOf(raw.Get(), L"Quit"), DISPATCH_METHOD)->hr, RPC_E_DISCONNECTED);
  EXPECT_EQ(quits, 1);
}

TEST_F(StandinObjects, QuitItselfAnswersBeforeTheShutdown) {
  int quits = 0;
  session->quit = [&] { ++quits; };
  EXPECT_EQ(RawCall(raw.Get(), IdOf(raw.Get(), L"Quit"), DISPATCH_METHOD)->hr, S_OK);
  EXPECT_EQ(quits, 1);
}

}  // namespace
}  // namespace quarnel::standin::server
