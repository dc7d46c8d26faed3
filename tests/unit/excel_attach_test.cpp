#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/trace.hpp"
#include "excel/attach.hpp"
#include "standin/model/model.hpp"
#include "support/attached_excel.hpp"
#include "support/failure_number.hpp"

namespace {

using namespace quarnel;
using 链接cad及excel::AttachExcel;
using 链接cad及excel::Handles;

std::string Name(const excel::Object& object) { return excel::ToText(object.Get("Name")); }

class AttachExcelTest : public quarnel::test_support::AttachedExcelTest {};

// Also when the Excel of an earlier click was closed since: nothing of it is reused.
TEST_F(AttachExcelTest, StartsExcelWhenNoneRunsAndGivesItOneWorkbook) {
  for (const bool closedSinceAClick : {false, true}) {
    SCOPED_TRACE(closedSinceAClick ? "the Excel of a click closed since" : "none ran");
    Restart();
    if (closedSinceAClick) {
      excel.AddWorkbook("Plan.xlsx");
      AttachExcel(host);
      excel.Quit();
      connector.activated.clear();
    }
    connector.running.reset();
    standin::Model started;
    connector.start = [&] { return started.Application(); };

    const Handles attached = AttachExcel(host);

    EXPECT_EQ(connector.starts, 1);
    EXPECT_TRUE(started.Visible());
    EXPECT_EQ(started.State().workbooks.size(), 1u);
    EXPECT_EQ(attached.ExcelApp, started.Application());
    EXPECT_EQ(Name(attached.ExcelBook), started.State().workbooks.front()->name);
    EXPECT_EQ(Name(attached.ExcelSheet), started.State().ActiveSheet()->name);
    EXPECT_TRUE(desktop.messages.empty());
    EXPECT_EQ(connector.activated, std::vector<std::string>{"Microsoft Excel"});
  }
}

TEST_F(AttachExcelTest, RunningExcelWithoutWorkbookGetsOneAdded) {
  const Handles attached = AttachExcel(host);
  EXPECT_EQ(connector.starts, 0);
  EXPECT_TRUE(excel.Visible());
  ASSERT_EQ(excel.State().workbooks.size(), 1u);
  EXPECT_EQ(Name(attached.ExcelSheet), excel.State().ActiveSheet()->name);
}

TEST_F(AttachExcelTest, UsesTheWorkbookAndSheetInFrontAndFollowsSwitches) {
  excel.AddWorkbook("Plan.xlsx");
  excel.AddSheet("Costs");
  excel.AddWorkbook("Other.xlsx");
  excel.ActivateWorkbook("Plan.xlsx");
  excel.ActivateSheet("Costs");

  const Handles first = AttachExcel(host);
  EXPECT_EQ(Name(first.ExcelBook), "Plan.xlsx");
  EXPECT_EQ(Name(first.ExcelSheet), "Costs");
  EXPECT_EQ(excel.State().workbooks.size(), 2u);

  excel.ActivateWorkbook("Other.xlsx");
  const Handles second = AttachExcel(host);
  EXPECT_EQ(Name(second.ExcelBook), "Other.xlsx");
  EXPECT_EQ(Name(second.ExcelSheet), excel.State().ActiveSheet()->name);
  EXPECT_TRUE(desktop.messages.empty());
}

// Writing True to a visible Excel shows its hidden windows too (the personal macro workbook's).
TEST_F(AttachExcelTest, VisibleIsWrittenOnlyWhenExcelIsNotVisible) {
  excel.AddWorkbook("Plan.xlsx");
  for (const bool visible : {true, false}) {
    excel.SetVisible(visible);
    excel.ResetCounters();
    AttachExcel(host);
    EXPECT_EQ(excel.Calls("Visible"), visible ? 1u : 2u) << visible;
    EXPECT_TRUE(excel.Visible());
  }
}

// A step passed over leaves a line for a support person, and nothing for the user: Visible that
// cannot be read is still made True, and the next click starts no second Excel.
TEST_F(AttachExcelTest, AStepPassedOverIsTracedAndNotShown) {
  static std::vector<std::string> lines;
  lines.clear();
  trace::SetSink([](std::string_view line) { lines.emplace_back(line); });
  excel.AddWorkbook("Plan.xlsx");
  excel.SetVisible(false);
  excel.FailCall("Visible", 1, Failure(1004, "refused"));
  const Handles attached = AttachExcel(host);
  trace::SetSink(nullptr);
  // The line names where the failure was raised: here, the stand-in's answer to the call.
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].rfind("AttachExcel, a step: 1004 refused (standin/model/member.cpp:", 0), 0u)
      << lines[0];
  EXPECT_TRUE(desktop.messages.empty());
  EXPECT_TRUE(excel.Visible());
  EXPECT_EQ(Name(attached.ExcelBook), "Plan.xlsx");
  EXPECT_EQ(Name(AttachExcel(host).ExcelBook), "Plan.xlsx");
  EXPECT_EQ(connector.starts, 0);
  // An HRESULT is written as Windows writes it; the file is named from the source folder.
  const Failure unavailable(errors::kServerUnavailable, "RPC 服务器不可用。");
  const int raisedAt = __LINE__ - 1;
  EXPECT_EQ(trace::Line("window search", unavailable),
            "window search: 0x800706BA RPC 服务器不可用。 (tests/unit/excel_attach_test.cpp:" +
                std::to_string(raisedAt) + ")");
}

TEST_F(AttachExcelTest, NoWorkbookInFrontLeavesNoSheetToChange) {
  excel.AddWorkbook("Plan.xlsx");
  ASSERT_TRUE(AttachExcel(host).ExcelSheet);

  excel.SetNoActiveWorkbook();
  const Handles attached = AttachExcel(host);

  EXPECT_FALSE(attached.ExcelBook);
  EXPECT_FALSE(attached.ExcelSheet);
  EXPECT_EQ(excel.State().workbooks.size(), 1u);
  EXPECT_TRUE(desktop.messages.empty());
}

// An earlier click's handles are gone with its command: nothing of an Excel closed since is reused.
TEST_F(AttachExcelTest, StartFailureShowsItsDescriptionAndLeavesNoHandle) {
  excel.AddWorkbook("Plan.xlsx");
  AttachExcel(host);

  connector.running.reset();
  connector.start = nullptr;
  const Handles attached = AttachExcel(host);

  ASSERT_EQ(desktop.messages.size(), 1u);
  EXPECT_EQ(desktop.messages[0].text, connector.startFailure.Description());
  EXPECT_EQ(desktop.messages[0].title, "Quarnel");
  EXPECT_EQ(desktop.messages[0].icon, MessageIcon::None);
  for (const excel::Object* handle : {&attached.ExcelApp, &attached.ExcelBook, &attached.ExcelSheet}) {
    EXPECT_FALSE(*handle);
  }
}

TEST_F(AttachExcelTest, NoWindowWithTheCaptionIsPassedOverSilently) {
  connector.windowTitles = {"Notepad"};
  excel.AddWorkbook("Plan.xlsx");
  const Handles attached = AttachExcel(host);
  EXPECT_TRUE(connector.activated.empty());
  EXPECT_TRUE(desktop.messages.empty());
  EXPECT_EQ(Name(attached.ExcelBook), "Plan.xlsx");
}

// Today's Excel titles each workbook's window "<name> - Excel", which Caption does not begin: the
// window the application was found through comes first, then the one Hwnd names, then the title.
TEST_F(AttachExcelTest, ExcelIsBroughtForwardByTheWindowItWasFoundThroughElseByHwndElseByTitle) {
  struct Case {
    const char* what;
    bool foundThroughWindow;
    std::int32_t hwnd;  // 0: Hwnd answers 0; -1: Hwnd fails
    const char* activated;
    std::uint64_t hwndReads, captionReads;
  };
  const Case cases[] = {
      {"found through a window", true, 7, "Plan.xlsx - Excel", 0, 0},
      {"a window Excel names", false, 7, "Plan.xlsx - Excel (Hwnd)", 1, 0},
      {"a window that is not Excel's", false, 9, "Microsoft Excel", 1, 1},
      {"no window named", false, 0, "Microsoft Excel", 1, 1},
      {"Hwnd refused", false, -1, "Microsoft Excel", 1, 1},
  };
  excel.AddWorkbook("Plan.xlsx");
  connector.excelWindows = {{7, "Plan.xlsx - Excel (Hwnd)"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    connector.foundWindow =
        c.foundThroughWindow ? std::optional<std::string>("Plan.xlsx - Excel") : std::nullopt;
    excel.SetFrameHook([&c] { return c.hwnd; });
    if (c.hwnd < 0) excel.FailCall("Hwnd", 1, Failure(438, "对象不支持该属性或方法"));
    connector.activated.clear();
    excel.ResetCounters();

    AttachExcel(host);

    EXPECT_EQ(connector.activated, std::vector<std::string>{c.activated});
    EXPECT_EQ(excel.Calls("Hwnd"), c.hwndReads);
    EXPECT_EQ(excel.Calls("Caption"), c.captionReads);
  }
}

// A busy Excel in front must not send the command to an Excel behind it, nor start one.
TEST_F(AttachExcelTest, AnExcelInFrontThatCannotAnswerStandsInAllThreeHandlesAndNothingStarts) {
  excel.AddWorkbook("Behind.xlsx");
  AttachExcel(host);
  const Failure busy(50290, "Excel 正忙");
  connector.unreachable = busy;
  connector.start = [&] { return excel.Application(); };
  excel.ResetCounters();
  const std::size_t activated = connector.activated.size();

  const Handles attached = AttachExcel(host);

  EXPECT_EQ(connector.starts, 0);
  EXPECT_TRUE(desktop.messages.empty());
  EXPECT_EQ(connector.activated.size(), activated);
  for (const excel::Object* handle : {&attached.ExcelApp, &attached.ExcelBook, &attached.ExcelSheet}) {
    EXPECT_EQ(quarnel::test_support::FailureNumber([&] { handle->Get("Name"); }), busy.Number());
  }
  EXPECT_EQ(excel.TotalCalls(), 0u) << "the Excel behind was reached";
}

// A file in Protected View is not among Workbooks: ActiveWorkbook is one the user does not see, and
// with no other file open a Book1 would be added. Excel before 2010 has no such member.
TEST_F(AttachExcelTest, AFileInProtectedViewInFrontIsRefusedBeforeAnyWorkbookIsTouched) {
  struct Case {
    const char* what;
    bool otherWorkbook;
    bool inFront;
    bool memberMissing;
    bool refused;
  };
  const Case cases[] = {
      {"the only file open", false, true, false, true},
      {"in front of a workbook", true, true, false, true},
      {"behind a workbook's window", true, false, false, false},
      {"an Excel without the member", true, true, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    standin::Model model;
    if (c.otherWorkbook) model.AddWorkbook("Plan.xlsx");
    model.OpenProtectedView("附件.xlsx");
    model.SetProtectedViewActive(c.inFront);
    if (c.memberMissing)
      model.FailCall("ActiveProtectedViewWindow", 1, Failure(438, "对象不支持该属性或方法"));
    connector.running = model.Application();

    if (c.refused) {
      EXPECT_THROW(AttachExcel(host), Refusal);
      EXPECT_EQ(test_support::FailureNumber([&] { AttachExcel(host); }), errors::kProtectedView);
      EXPECT_EQ(model.Calls("Workbooks"), 0u);
      EXPECT_EQ(model.State().workbooks.size(), c.otherWorkbook ? 1u : 0u);
    } else {
      EXPECT_EQ(Name(AttachExcel(host).ExcelBook), "Plan.xlsx");
    }
  }
}

}  // namespace
