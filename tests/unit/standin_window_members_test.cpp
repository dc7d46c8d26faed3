#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>

#include "standin/model/failures.hpp"
#include "standin/model/model.hpp"
#include "support/failure_number.hpp"

namespace quarnel::standin {
namespace {

using quarnel::test_support::FailureNumber;

using excel::Object;
using excel::Value;

TEST(StandinWindowMembers, TheWindowLeadsToTheVeryApplicationAndNamesItsWorkbook) {
  Model model;
  model.AddWorkbook("Plan.xlsx");
  model.AddWorkbook("Other.xlsx");
  const Object window = model.WindowOf(model.Workbook("PLAN.XLSX"));
  EXPECT_EQ(excel::ToObject(window.Get("Application")), model.Application());
  EXPECT_EQ(excel::ToText(window.Get("Caption")), "Plan.xlsx");
  EXPECT_EQ(FailureNumber([&] { window.Get("Parent"); }), 438);
  model.CloseWorkbook("Plan.xlsx");
  EXPECT_EQ(FailureNumber([&] { window.Get("Caption"); }), kObjectDeleted);
  EXPECT_THROW(model.Workbook("Plan.xlsx"), std::logic_error);
}

// Excel turns every call away while busy, whichever object it is made on.
TEST(StandinWindowMembers, HwndAndTheWindowAreCountedTurnedAwayWhileBusyFailWhenArmedAndReadOnly) {
  Model model;
  model.AddWorkbook("Plan.xlsx");
  EXPECT_EQ(model.Application().Get("Hwnd"), Value(0));
  // A handle with its top bit set travels as a negative Long.
  model.SetFrameHook([] { return -0x7FFEFFBC; });
  EXPECT_EQ(model.Application().Get("HWND"), Value(-0x7FFEFFBC));
  const Object window = model.WindowOf(model.Workbook("Plan.xlsx"));
  const struct {
    Object target;
    const char* member;
  } members[] = {{model.Application(), "Hwnd"}, {window, "Application"}, {window, "Caption"}};
  for (const auto& [target, member] : members) {
    SCOPED_TRACE(member);
    model.ResetCounters();
    EXPECT_EQ(FailureNumber([&] { target.Get(member); }), 0);
    model.SetBusy(true);
    EXPECT_EQ(FailureNumber([&] { target.Get(member); }), kCallRejected);
    model.SetBusy(false);
    model.FailCall(member, 1, Failure(70, "x"));
    EXPECT_EQ(FailureNumber([&] { target.Get(member); }), 70);
    EXPECT_EQ(FailureNumber([&] { target.Put(member, 1); }), 438);
    EXPECT_EQ(FailureNumber([&] { target.Get(member, {1}); }), WrongArgumentCount().Number());
    EXPECT_EQ(model.Calls(member), 5u);
  }
}

}  // namespace
}  // namespace quarnel::standin
