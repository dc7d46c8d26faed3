#include <gtest/gtest.h>

#include <chrono>
#include <iostream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "common/win32/utf16.hpp"
#include "excel/win32/com.hpp"
#include "excel/win32/connector.hpp"
#include "excel/win32/dispatch.hpp"
#include "excel/win32/excel_windows.hpp"
#include "standin/server/application_object.hpp"
#include "standin/server/registration.hpp"
#include "standin/server/switches.hpp"
#include "support/failure_number.hpp"

namespace quarnel::standin::server {
namespace {

using quarnel::testing::FailureNumber;

using excel::Object;
using excel::Value;
using Microsoft::WRL::ComPtr;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr HRESULT kExcel1004 = static_cast<HRESULT>(0x800A03EC);
constexpr char kApplicationDefinedText[] = "应用程序定义或对象定义错误。";

// One raw IDispatch call, for what the late-bound client hides: HRESULTs, EXCEPINFO, DISPPARAMS.
struct RawAnswer {
  HRESULT hr = S_OK;
  win32::Variant result;
  EXCEPINFO info{};
  ~RawAnswer() {
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrHelpFile);
  }
  std::string Source() const { return win32::ToUtf8(info.bstrSource ? info.bstrSource : L""); }
  std::string Description() const { return win32::ToUtf8(info.bstrDescription ? info.bstrDescription : L""); }
};

DISPID IdOf(IDispatch* target, const wchar_t* name) {
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  DISPID id = DISPID_UNKNOWN;
  EXPECT_EQ(target->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK) << win32::ToUtf8(name);
  return id;
}

// `args` in DISPPARAMS order: last argument first.
std::unique_ptr<RawAnswer> RawCall(IDispatch* target, DISPID id, WORD flags, std::vector<VARIANT> args = {},
                                   std::vector<DISPID> named = {}, bool withInfo = true) {
  auto answer = std::make_unique<RawAnswer>();
  DISPPARAMS params{args.empty() ? nullptr : args.data(), named.empty() ? nullptr : named.data(),
                    static_cast<UINT>(args.size()), static_cast<UINT>(named.size())};
  UINT bad = 0;
  answer->hr = target->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, answer->result.Out(),
                              withInfo ? &answer->info : nullptr, &bad);
  for (VARIANT& arg : args) VariantClear(&arg);
  return answer;
}

VARIANT Long(std::int32_t value) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_I4;
  V_I4(&v) = value;
  return v;
}

IDispatch* RawOf(const Object& object) { return dynamic_cast<win32::DispatchClient&>(*object.Get()).Raw(); }

// ---------------------------------------------------------------------------------------------
// The server's objects called in-process: what COM passes through unchanged between processes.

class StandinObjects : public ::testing::Test {
 protected:
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
  EXPECT_EQ(bad->info.scode, kExcel1004);
  EXPECT_EQ(bad->info.wCode, 0);
  EXPECT_EQ(bad->Source(), "Microsoft Excel");
  EXPECT_EQ(bad->Description(), kApplicationDefinedText);
  // A caller that wants no EXCEPINFO gets the code itself.
  EXPECT_EQ(RawCall(raw.Get(), columns, DISPATCH_METHOD, {Long(0)}, {}, false)->hr, kExcel1004);

  EXPECT_EQ(RawCall(raw.Get(), IdOf(raw.Get(), L"Frobnicate"), DISPATCH_METHOD)->info.scode,
            static_cast<HRESULT>(0x800A01B6));

  // Numbers that are HRESULTs already go as they are.
  app.Call("StandinFailCall", {std::string("Name"), 1, -2147221080, std::string("自动化错误")});
  const Object book = app.GetObject("ActiveWorkbook");
  const auto gone = RawCall(RawOf(book), IdOf(RawOf(book), L"Name"), DISPATCH_PROPERTYGET);
  EXPECT_EQ(gone->hr, DISP_E_EXCEPTION);
  EXPECT_EQ(gone->info.scode, static_cast<HRESULT>(0x800401A8));
  EXPECT_EQ(gone->Description(), "自动化错误");
}

TEST_F(StandinObjects, BusyRejectsEveryCallButTheServersOwn) {
  const DISPID caption = IdOf(raw.Get(), L"Caption");
  app.Call("StandinSetBusy", {true});

  LPOLESTR names[] = {const_cast<LPOLESTR>(L"Visible")};
  DISPID id = 0;
  EXPECT_EQ(raw->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), RPC_E_CALL_REJECTED);
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

// ---------------------------------------------------------------------------------------------

TEST(StandinSwitches, AcceptSlashOrDashInAnyCaseAndReportTheFirstUnknown) {
  const std::vector<std::wstring> args = {L"-EMBEDDING", L"/Demo", L"bogus", L"/regserver", L"/nope"};
  const Switches s = ParseSwitches(args);
  EXPECT_TRUE(s.embedding && s.demo && s.regServer);
  EXPECT_FALSE(s.unregServer);
  EXPECT_EQ(s.unknown, L"bogus");
  const std::vector<std::wstring> com = {L"/automation", L"-Embedding", L"/UnRegServer"};
  const Switches t = ParseSwitches(com);
  EXPECT_TRUE(t.embedding && t.unregServer);
  EXPECT_TRUE(t.unknown.empty());
}

std::wstring ReadDefault(const std::wstring& key) {
  wchar_t text[512] = {};
  DWORD size = sizeof(text);
  if (RegGetValueW(HKEY_CURRENT_USER, (L"Software\\Classes\\" + key).c_str(), nullptr, RRF_RT_REG_SZ, nullptr,
                   text, &size) != ERROR_SUCCESS) {
    return L"<none>";
  }
  return text;
}

TEST(StandinRegistration, WritesThePerUserClassAndRemovesOnlyWhatIsStillOurs) {
  ClassRegistration entry{L"Quarnel.RegistrationTest" + std::to_wstring(GetCurrentProcessId()), {}, L"test"};
  CoCreateGuid(&entry.clsid);
  const std::wstring clsid = GuidText(entry.clsid);
  const std::wstring classKey = L"CLSID\\" + clsid;

  ASSERT_EQ(Register(entry, L"C:\\Program Files\\stand in\\excel_standin.exe"), S_OK);
  EXPECT_EQ(ReadDefault(entry.progId + L"\\CLSID"), clsid);
  EXPECT_EQ(ReadDefault(classKey + L"\\LocalServer32"),
            L"\"C:\\Program Files\\stand in\\excel_standin.exe\"");
  EXPECT_EQ(ReadDefault(classKey + L"\\ProgID"), entry.progId);
  CLSID found{};
  EXPECT_EQ(CLSIDFromProgID(entry.progId.c_str(), &found), S_OK);
  EXPECT_TRUE(IsEqualCLSID(found, entry.clsid));

  ASSERT_EQ(Unregister(entry), S_OK);
  EXPECT_EQ(ReadDefault(entry.progId + L"\\CLSID"), L"<none>");
  EXPECT_EQ(ReadDefault(classKey), L"<none>");
  EXPECT_EQ(CLSIDFromProgID(entry.progId.c_str(), &found), CO_E_CLASSSTRING);
  EXPECT_EQ(Unregister(entry), S_OK);

  // Another program took the ProgID over since: it keeps it.
  ASSERT_EQ(Register(entry, L"C:\\x.exe"), S_OK);
  GUID other{};
  CoCreateGuid(&other);
  ClassRegistration taker{entry.progId, other, L"other"};
  ASSERT_EQ(Register(taker, L"C:\\other.exe"), S_OK);
  EXPECT_EQ(Unregister(entry), S_OK);
  EXPECT_EQ(ReadDefault(entry.progId + L"\\CLSID"), GuidText(other));
  EXPECT_EQ(CLSIDFromProgID(entry.progId.c_str(), &found), S_OK);
  EXPECT_TRUE(IsEqualCLSID(found, other));
  EXPECT_EQ(ReadDefault(classKey), L"<none>");
  EXPECT_EQ(Unregister(taker), S_OK);
  EXPECT_EQ(ReadDefault(entry.progId + L"\\CLSID"), L"<none>");
  // Nothing left wherever the system reads classes from.
  EXPECT_EQ(CLSIDFromProgID(entry.progId.c_str(), &found), CO_E_CLASSSTRING);
}

// ---------------------------------------------------------------------------------------------
// excel_standin.exe in a process of its own, reached through COM as quarnel.exe reaches Excel.

std::wstring ProgramPath() {
  std::wstring path = win32::ToUtf16(QUARNEL_STANDIN_EXE);
  // CMake names it by its Unix path; Wine shows the root as drive Z:.
  if (path.starts_with(L"/")) {
    for (wchar_t& c : path) c = c == L'/' ? L'\\' : c;
    path = L"Z:" + path;
  }
  return path;
}

HANDLE Launch(const std::wstring& switches) {
  std::wstring command = L"\"" + ProgramPath() + L"\" " + switches;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &info)) {
    return nullptr;
  }
  CloseHandle(info.hThread);
  return info.hProcess;
}

DWORD RunToEnd(const std::wstring& switches) {
  const HANDLE process = Launch(switches);
  if (!process) return 0xFFFFFFFF;
  DWORD code = 0xFFFFFFFE;
  if (WaitForSingleObject(process, 30000) == WAIT_OBJECT_0) GetExitCodeProcess(process, &code);
  CloseHandle(process);
  return code;
}

class StandinProcess : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_EQ(RunToEnd(L"/RegServer"), 0u); }
  static void TearDownTestSuite() { EXPECT_EQ(RunToEnd(L"/UnregServer"), 0u); }

  ~StandinProcess() override {
    // A test that failed half-way must not leave a server for the next one to find.
    if (process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) TerminateProcess(process_, 1);
    if (process_) CloseHandle(process_);
  }

  // The server's process, from its own word, so the test can wait for it to end.
  void Follow(const Object& app) {
    const auto pid = static_cast<DWORD>(excel::ToLong(app.Get("StandinProcessId")));
    EXPECT_NE(pid, GetCurrentProcessId());
    process_ = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid);
    ASSERT_NE(process_, nullptr);
  }

  void QuitAndExpectTheEnd(const Object& app) {
    EXPECT_NO_THROW(app.Call("Quit"));
    ExpectTheEnd(app);
  }

  void ExpectTheEnd(const Object& app) {
    ASSERT_EQ(WaitForSingleObject(process_, 10000), WAIT_OBJECT_0);
    const std::int32_t number = FailureNumber([&] { app.Get("Caption"); });
    EXPECT_TRUE(number == static_cast<std::int32_t>(RPC_E_DISCONNECTED) ||
                number == static_cast<std::int32_t>(HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE)) ||
                number == static_cast<std::int32_t>(CO_E_OBJNOTCONNECTED))
        << std::hex << number;
  }

  win32::ComInit com;
  win32::ComConnector connector{win32::BusyRetry{2000ms, 20ms}};
  HANDLE process_ = nullptr;
};

TEST_F(StandinProcess, StartedByComItIsInvisibleEmptyAndKeepsWhatItIsTold) {
  const Object app = connector.Start("Excel.Application");
  Follow(app);
  EXPECT_FALSE(excel::ToBool(app.Get("Visible")));
  EXPECT_EQ(excel::ToLong(app.GetObject("Workbooks").Get("Count")), 0);
  EXPECT_FALSE(excel::ToObject(app.Get("ActiveWorkbook")));
  const HWND window =
      reinterpret_cast<HWND>(static_cast<std::intptr_t>(excel::ToLong(app.Get("StandinWindow"))));
  EXPECT_FALSE(IsWindowVisible(window));

  const Object book = excel::ToObject(app.GetObject("Workbooks").Call("Add"));
  app.GetObject("Range", {std::string("A1:A5")}).Put("Value", std::string("数据"));
  EXPECT_EQ(excel::ToText(app.GetObject("Range", {std::string("A3")}).Get("Value")), "数据");
  EXPECT_EQ(app.GetObject("cells", {6, 1}).Get("Value"), Value());

  const Object sheet = book.GetObject("ActiveSheet");
  sheet.GetObject("Rows", {std::string("3:3")}).GetObject("EntireRow").Put("Hidden", true);
  EXPECT_TRUE(
      excel::ToBool(sheet.GetObject("Rows", {std::string("3:3")}).GetObject("EntireRow").Get("Hidden")));
  EXPECT_TRUE(excel::ToBool(app.Call("StandinIsRowHidden", {3})));
  EXPECT_FALSE(excel::ToBool(app.Call("StandinIsRowHidden", {4})));

  app.Put("Visible", true);
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(win32::FindExcelWindow(L"Microsoft Excel - Book1"), window);

  QuitAndExpectTheEnd(app);
}

TEST_F(StandinProcess, EachKindOfBusyReachesTheClientAsExcelAnswersIt) {
  const Object app = connector.Start("Excel.Application");
  Follow(app);
  IDispatch* raw = RawOf(app);
  const DISPID caption = IdOf(raw, L"Caption");
  LPOLESTR names[] = {const_cast<LPOLESTR>(L"Visible")};
  constexpr auto kIgnore = static_cast<HRESULT>(0x800AC472);
  struct Case {
    int kind;
    HRESULT answer;  // of GetIDsOfNames, and of Invoke but for kind 4
  };
  for (const Case c : {Case{1, RPC_E_CALL_REJECTED}, Case{2, RPC_E_SERVERCALL_RETRYLATER}, Case{3, kIgnore},
                       Case{4, S_OK}}) {
    SCOPED_TRACE(c.kind);
    app.Call("StandinSetBusy", {c.kind});
    DISPID id = 0;
    EXPECT_EQ(raw->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), c.answer);
    const auto answer = RawCall(raw, caption, DISPATCH_PROPERTYGET);
    if (c.kind == 4) {
      EXPECT_EQ(answer->hr, DISP_E_EXCEPTION);
      EXPECT_EQ(answer->info.scode, kIgnore);
      EXPECT_EQ(answer->info.pfnDeferredFillIn, nullptr);
    } else {
      EXPECT_EQ(answer->hr, c.answer);
    }
  }
  app.Call("StandinSetBusy", {false});

  // A spell of busy ends by itself; a busy from the nth call starts by itself.
  app.Call("StandinBusyFor", {2, 300});
  EXPECT_EQ(RawCall(raw, caption, DISPATCH_PROPERTYGET)->hr, RPC_E_SERVERCALL_RETRYLATER);
  std::this_thread::sleep_for(400ms);
  EXPECT_EQ(RawCall(raw, caption, DISPATCH_PROPERTYGET)->hr, S_OK);
  app.Call("StandinBusyAtCall", {std::string("Caption"), 2, 3, 300});
  EXPECT_EQ(RawCall(raw, caption, DISPATCH_PROPERTYGET)->hr, S_OK);
  EXPECT_EQ(RawCall(raw, caption, DISPATCH_PROPERTYGET)->hr, kIgnore);
  EXPECT_EQ(FailureNumber([&] { app.Call("StandinSetBusy", {5}); }), 1004);

  // A lasting fault fails every call from the nth on.
  app.Call("StandinFailCall", {std::string("Name"), 2, 1004, std::string("x"), true});
  app.GetObject("Workbooks").Call("Add");
  const Object book = app.GetObject("ActiveWorkbook");
  EXPECT_EQ(FailureNumber([&] { book.Get("Name"); }), 0);
  EXPECT_EQ(FailureNumber([&] { book.Get("Name"); }), 1004);
  EXPECT_EQ(FailureNumber([&] { book.Get("Name"); }), 1004);
  QuitAndExpectTheEnd(app);
}

TEST_F(StandinProcess, FailuresAndBusyAnswersCrossTheProcessBoundary) {
  const Object app = connector.Start("Excel.Application");
  Follow(app);
  app.GetObject("Workbooks").Call("Add");

  try {
    app.GetObject("Columns", {0});
    ADD_FAILURE() << "Columns(0) answered";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.Number(), 1004);
    EXPECT_EQ(failure.Description(), kApplicationDefinedText);
  }
  app.Call("StandinFailCall", {std::string("Row"), 1, 70, std::string("拒绝的权限")});
  try {
    app.GetObject("Selection").Get("Row");
    ADD_FAILURE() << "the armed Row answered";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.Number(), 70);
    EXPECT_EQ(failure.Description(), "拒绝的权限");
  }

  // Busy: the client retries until its deadline, then gives up with the rejection.
  app.Call("StandinSetBusy", {true});
  const Object impatient = win32::WrapDispatch(RawOf(app), win32::BusyRetry{300ms, 20ms});
  const auto start = Clock::now();
  EXPECT_EQ(FailureNumber([&] { impatient.Get("Caption"); }), static_cast<std::int32_t>(RPC_E_CALL_REJECTED));
  EXPECT_GE(Clock::now() - start, 300ms);
  app.Call("StandinSetBusy", {false});
  EXPECT_EQ(excel::ToText(impatient.Get("Caption")), "Microsoft Excel");

  // Each raw call is one round trip; the cost goes into the test's output.
  IDispatch* target = RawOf(app);
  app.Call("StandinResetCounters");
  constexpr int kCalls = 200;
  auto begin = Clock::now();
  for (int i = 0; i < kCalls; ++i) RawCall(target, IdOf(target, L"Caption"), DISPATCH_PROPERTYGET);
  const auto lookedUp = Clock::now() - begin;
  EXPECT_EQ(excel::ToText(app.Get("StandinCounters")),
            "getidsofnames=" + std::to_string(kCalls) + ";invoke=" + std::to_string(kCalls));
  const DISPID caption = IdOf(target, L"Caption");
  begin = Clock::now();
  for (int i = 0; i < kCalls; ++i) RawCall(target, caption, DISPATCH_PROPERTYGET);
  const auto invokeOnly = Clock::now() - begin;
  const auto micros = [](auto d) {
    return std::chrono::duration_cast<std::chrono::microseconds>(d).count() / kCalls;
  };
  std::cout << "[ stand-in ] one cross-process Invoke: " << micros(invokeOnly)
            << " us; GetIDsOfNames then Invoke: " << micros(lookedUp) << " us\n";
  RecordProperty("invoke_us", static_cast<int>(micros(invokeOnly)));

  QuitAndExpectTheEnd(app);
}

TEST_F(StandinProcess, TheDemoIsFoundRunningWithItsWorkbookOnScreen) {
  process_ = Launch(L"/Demo");
  ASSERT_NE(process_, nullptr);
  Object app;
  for (const auto until = Clock::now() + 15s; !app && Clock::now() < until; Sleep(100)) {
    try {
      app = connector.GetRunning("Excel.Application");
    } catch (const Failure&) {
      // Not in the running object table yet.
    }
  }
  ASSERT_TRUE(app);
  EXPECT_EQ(excel::ToText(app.GetObject("ActiveWorkbook").Get("Name")), "演示.xlsx");
  EXPECT_TRUE(excel::ToBool(app.Get("Visible")));
  const Object selection = app.GetObject("Selection");
  EXPECT_EQ(excel::ToLong(selection.Get("Row")), 3);
  EXPECT_EQ(excel::ToLong(selection.Get("Column")), 2);
  const Object sheet = app.GetObject("ActiveSheet");
  EXPECT_EQ(excel::ToLong(sheet.GetObject("cells", {65536, 1}).GetObject("end", {-4162}).Get("Row")), 30);
  EXPECT_EQ(excel::ToLong(sheet.GetObject("cells", {1, 256}).GetObject("end", {-4159}).Get("Column")), 8);
  for (int row : {5, 12, 13}) EXPECT_TRUE(excel::ToBool(app.Call("StandinIsRowHidden", {row}))) << row;
  EXPECT_FALSE(excel::ToBool(app.Call("StandinIsRowHidden", {11})));
  EXPECT_TRUE(excel::ToBool(app.Call("StandinIsColumnHidden", {7})));

  const HWND window =
      reinterpret_cast<HWND>(static_cast<std::intptr_t>(excel::ToLong(app.Get("StandinWindow"))));
  EXPECT_EQ(win32::FindExcelWindow(L"Microsoft Excel"), window);
  EXPECT_TRUE(IsWindowVisible(window));

  // A person drags from B3 to D6 in the workbook window and then clicks row 7's number. Row 5 is
  // hidden, so row 6 is the fifth row on screen; rows are 22 pixels high under a 22-pixel header,
  // columns 80 wide right of a 48-pixel one.
  const HWND grid = FindWindowExW(FindWindowExW(window, nullptr, win32::kExcelDeskClass, nullptr), nullptr,
                                  win32::kExcelBookClass, nullptr);
  ASSERT_NE(grid, nullptr);
  const auto at = [](int x, int y) { return static_cast<LPARAM>(MAKELONG(x, y)); };
  SendMessageW(grid, WM_LBUTTONDOWN, MK_LBUTTON, at(48 + 80 + 20, 22 + 2 * 22 + 5));
  SendMessageW(grid, WM_MOUSEMOVE, MK_LBUTTON, at(48 + 3 * 80 + 20, 22 + 4 * 22 + 5));
  SendMessageW(grid, WM_LBUTTONUP, 0, at(48 + 3 * 80 + 20, 22 + 4 * 22 + 5));
  EXPECT_EQ(excel::ToText(app.GetObject("Selection").Get("Address")), "$B$3:$D$6");
  SendMessageW(grid, WM_LBUTTONDOWN, MK_LBUTTON, at(10, 22 + 5 * 22 + 5));
  SendMessageW(grid, WM_LBUTTONUP, 0, at(10, 22 + 5 * 22 + 5));
  EXPECT_EQ(excel::ToText(app.GetObject("Selection").Get("Address")), "$7:$7");

  // Closing Excel's window quits it, clients or not.
  PostMessageW(window, WM_CLOSE, 0, 0);
  ExpectTheEnd(app);
}

// As Excel: the workbook window hands out its Window object across processes at once, while the
// running object table learns of the application only when the main window first loses the focus.
TEST_F(StandinProcess, TheWorkbookWindowLeadsToTheApplicationBeforeItIsRegistered) {
  process_ = Launch(L"/LateRegister");
  ASSERT_NE(process_, nullptr);
  HWND main = nullptr;
  for (const auto until = Clock::now() + 15s; !main && Clock::now() < until; Sleep(100)) {
    for (HWND candidate : win32::ExcelMainWindows()) {
      DWORD owner = 0;
      GetWindowThreadProcessId(candidate, &owner);
      if (owner == GetProcessId(process_)) main = candidate;
    }
  }
  ASSERT_NE(main, nullptr);
  const ComPtr<IDispatch> window = win32::NativeWindowObject(main);
  ASSERT_NE(window, nullptr);
  const Object windowObject = win32::WrapDispatch(window.Get());
  EXPECT_EQ(excel::ToText(windowObject.Get("Caption")), "Book1");
  const Object app = windowObject.GetObject("Application");
  EXPECT_EQ(static_cast<DWORD>(excel::ToLong(app.Get("StandinProcessId"))), GetProcessId(process_));
  EXPECT_EQ(FailureNumber([&] { windowObject.Get("Parent"); }), 438);

  CLSID clsid{};
  ASSERT_EQ(CLSIDFromProgID(L"Excel.Application", &clsid), S_OK);
  ComPtr<IUnknown> running;
  EXPECT_EQ(GetActiveObject(clsid, nullptr, &running), MK_E_UNAVAILABLE);

  // Another window takes the focus.
  const HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 100,
                                     nullptr, nullptr, nullptr, nullptr);
  SetForegroundWindow(main);
  SetForegroundWindow(other);
  HRESULT found = MK_E_UNAVAILABLE;
  for (const auto until = Clock::now() + 10s; FAILED(found) && Clock::now() < until; Sleep(50)) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    found = GetActiveObject(clsid, nullptr, &running);
  }
  EXPECT_EQ(found, S_OK);
  DestroyWindow(other);

  QuitAndExpectTheEnd(app);
}

}  // namespace
}  // namespace quarnel::standin::server
