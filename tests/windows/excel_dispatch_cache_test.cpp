#include <gtest/gtest.h>

#include <chrono>
#include <deque>

#include "excel/win32/dispatch.hpp"
#include "excel_fake_dispatch.hpp"
#include "support/failure_number.hpp"

namespace quarnel::win32 {
namespace {

using excel::Object;
using excel::Value;
using test_support::FakeDispatch;
using test_support::RecordedCall;
using namespace std::chrono_literals;

constexpr BusyRetry kQuickRetry{200ms, 5ms};
constexpr DISPID kRows = 10, kColumns = 11, kEntireRow = 20, kHidden = 30;

// A sheet whose Rows and Columns hand out a new range each call, whose EntireRow hands out a new
// row, which answers Hidden: the objects a record or restore walks through, one per line.
class Sheet {
 public:
  Sheet() {
    sheet.AddMember(L"Rows", kRows);
    sheet.AddMember(L"Columns", kColumns);
    sheet.answer = [this](const RecordedCall&, VARIANT* result, EXCEPINFO*) {
      FakeDispatch& range = ranges.emplace_back();
      const DISPID own = entireRowId;
      range.AddMember(L"EntireRow", own);
      range.answer = [this, own, stale = staleAnswer, missing = entireRowMissing](const RecordedCall& call,
                                                                                  VARIANT* out, EXCEPINFO*) {
        if (missing || call.id != own) return stale;
        FakeDispatch& row = rows.emplace_back();
        row.AddMember(L"Hidden", kHidden);
        row.answer = [](const RecordedCall&, VARIANT* hidden, EXCEPINFO*) {
          if (hidden) {
            V_VT(hidden) = VT_BOOL;
            V_BOOL(hidden) = VARIANT_TRUE;
          }
          return S_OK;
        };
        return test_support::HandOut(row, out);
      };
      return test_support::HandOut(range, result);
    };
  }

  // How the ranges handed out from now on number EntireRow, and what they answer to another number
  // or, when it is missing, to any.
  DISPID entireRowId = kEntireRow;
  HRESULT staleAnswer = DISP_E_MEMBERNOTFOUND;
  bool entireRowMissing = false;

  static int Lookups(const std::deque<FakeDispatch>& objects) {
    int count = 0;
    for (const auto& object : objects) count += object.nameCalls;
    return count;
  }
  static int Invokes(const std::deque<FakeDispatch>& objects) {
    int count = 0;
    for (const auto& object : objects) count += object.invokeCalls;
    return count;
  }

  FakeDispatch sheet;
  std::deque<FakeDispatch> ranges;  // never move: the client holds pointers into them
  std::deque<FakeDispatch> rows;
};

class DispatchCacheTest : public ::testing::Test {
 protected:
  ComInit com;
};

TEST_F(DispatchCacheTest, RepeatedCallsLookTheNameUpOnceWhateverItsCase) {
  FakeDispatch fake;
  fake.AddMember(L"Hidden", kHidden);
  const Object row = WrapDispatch(&fake);

  row.Put("Hidden", true);
  row.Get("hidden");
  row.Put("HIDDEN", false);
  row.Get("Value");

  EXPECT_EQ(fake.nameCalls, 2);  // Hidden once, Value once
  EXPECT_EQ(fake.invokeCalls, 4);
  ASSERT_EQ(fake.calls.size(), 4u);
  EXPECT_EQ(fake.calls[2].id, kHidden);
  EXPECT_EQ(fake.calls[3].id, 1);
}

TEST_F(DispatchCacheTest, ObjectsFromOneCallSiteShareTheirLookUpsAndHoldNoReferences) {
  Sheet fake;
  {
    const Object sheet = WrapDispatch(&fake.sheet);
    for (int line = 1; line <= 5; ++line) {
      const std::string address = std::to_string(line) + ":" + std::to_string(line);
      sheet.GetObject("Rows", {address}).GetObject("EntireRow").Put("Hidden", line % 2 == 0);
      EXPECT_EQ(ToBool(sheet.GetObject("Rows", {address}).GetObject("EntireRow").Get("Hidden")), true);
    }
  }

  // Three round trips a line after the first: no look-up on any later range or row.
  EXPECT_EQ(fake.sheet.nameCalls, 1);
  EXPECT_EQ(Sheet::Lookups(fake.ranges), 1);
  EXPECT_EQ(Sheet::Lookups(fake.rows), 1);
  EXPECT_EQ(fake.sheet.invokeCalls + Sheet::Invokes(fake.ranges) + Sheet::Invokes(fake.rows), 30);
  for (const auto& row : fake.rows) {
    ASSERT_EQ(row.calls.size(), 1u);
    EXPECT_EQ(row.calls[0].id, kHidden);
  }
  // The caches keep numbers only: every object is released.
  for (auto* objects : {&fake.ranges, &fake.rows}) {
    for (auto& object : *objects) {
      object.calls.clear();
      EXPECT_EQ(object.references(), 0u);
    }
  }
  EXPECT_EQ(fake.sheet.references(), 0u);
}

TEST_F(DispatchCacheTest, NothingIsSharedBetweenObjectsReachedDifferently) {
  Sheet fake;
  const Object sheet = WrapDispatch(&fake.sheet);
  const auto hidden = [](const Object& from, std::string_view member, const Value& which) {
    return from.GetObject(member, {which}).GetObject("EntireRow").Get("Hidden");
  };

  hidden(sheet, "Rows", std::string("1:1"));
  hidden(sheet, "Columns", 1.0);  // another member of the same sheet
  EXPECT_EQ(Sheet::Lookups(fake.ranges), 2);
  EXPECT_EQ(Sheet::Lookups(fake.rows), 2);

  const Object again = WrapDispatch(&fake.sheet);  // another root over the same object
  hidden(again, "Rows", std::string("2:2"));
  EXPECT_EQ(fake.sheet.nameCalls, 3);
  EXPECT_EQ(Sheet::Lookups(fake.ranges), 3);
  EXPECT_EQ(Sheet::Lookups(fake.rows), 3);

  hidden(sheet, "Rows", std::string("3:3"));  // the first root still knows its own
  EXPECT_EQ(fake.sheet.nameCalls, 3);
  EXPECT_EQ(Sheet::Lookups(fake.ranges), 3);
  EXPECT_EQ(Sheet::Lookups(fake.rows), 3);
}

TEST_F(DispatchCacheTest, AStaleNumberIsLookedUpAfreshAndTheCallMadeAgainOnce) {
  Sheet fake;
  const Object sheet = WrapDispatch(&fake.sheet);
  const auto entireRow = [&] { return sheet.GetObject("Rows", {std::string("1:1")}).GetObject("EntireRow"); };

  entireRow();
  fake.entireRowId = kEntireRow + 1;
  EXPECT_TRUE(entireRow());
  EXPECT_EQ(Sheet::Lookups(fake.ranges), 2);
  ASSERT_EQ(fake.ranges[1].calls.size(), 2u);
  EXPECT_EQ(fake.ranges[1].calls[0].id, kEntireRow);
  EXPECT_EQ(fake.ranges[1].calls[1].id, kEntireRow + 1);
  entireRow();  // the refreshed number is the one kept
  EXPECT_EQ(Sheet::Lookups(fake.ranges), 2);
  EXPECT_EQ(fake.ranges[2].invokeCalls, 1);

  fake.entireRowId = kEntireRow + 2;
  fake.staleAnswer = DISP_E_UNKNOWNNAME;
  EXPECT_TRUE(entireRow());
  EXPECT_EQ(Sheet::Lookups(fake.ranges), 3);
  EXPECT_EQ(fake.ranges[3].invokeCalls, 2);
  EXPECT_EQ(fake.rows.size(), 4u);  // each EntireRow ran once
}

TEST_F(DispatchCacheTest, AMemberStillMissingAfterTheRefreshFailsAsBeforeAndIsNotKept) {
  Sheet fake;
  const Object sheet = WrapDispatch(&fake.sheet);
  const auto entireRow = [&] { return sheet.GetObject("Rows", {std::string("1:1")}).GetObject("EntireRow"); };
  entireRow();

  fake.entireRowMissing = true;
  for (int attempt = 0; attempt < 2; ++attempt) EXPECT_EQ(test_support::FailureNumber(entireRow), 438);
  // The cached number, a fresh look-up and its call; then a plain look-up and call.
  EXPECT_EQ(fake.ranges[1].nameCalls, 1);
  EXPECT_EQ(fake.ranges[1].invokeCalls, 2);
  EXPECT_EQ(fake.ranges[2].nameCalls, 1);
  EXPECT_EQ(fake.ranges[2].invokeCalls, 1);

  fake.entireRowMissing = false;
  EXPECT_TRUE(entireRow());
  EXPECT_EQ(fake.ranges[3].nameCalls, 1);
  EXPECT_EQ(fake.ranges[3].invokeCalls, 1);
}

TEST_F(DispatchCacheTest, BusyRefusalsAreRetriedAndNeverTakenForAStaleNumber) {
  FakeDispatch fake;
  fake.answer = test_support::Answering(4);
  const Object object = WrapDispatch(&fake, kQuickRetry);
  fake.rejectNames = 2;
  fake.rejectInvokes = 1;
  EXPECT_EQ(object.Get("Value"), Value(std::int32_t{4}));
  EXPECT_EQ(fake.nameCalls, 3);
  EXPECT_EQ(fake.invokeCalls, 2);

  fake.rejection = RPC_E_SERVERCALL_RETRYLATER;
  fake.rejectInvokes = 3;
  EXPECT_EQ(object.Get("Value"), Value(std::int32_t{4}));
  EXPECT_EQ(fake.nameCalls, 3);
  EXPECT_EQ(fake.invokeCalls, 6);
  EXPECT_EQ(fake.calls.size(), 2u);
}

}  // namespace
}  // namespace quarnel::win32
