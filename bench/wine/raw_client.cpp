#include "bench/wine/raw_client.hpp"

#include <cctype>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>

#include "excel/win32/excel_windows.hpp"

namespace quarnel::bench {
namespace {

using Microsoft::WRL::ComPtr;

constexpr short kXlUp = -4162;
constexpr short kXlToLeft = -4159;

[[noreturn]] void Fail(const std::string& why) { throw std::runtime_error("raw client: " + why); }

// Owns a VARIANT; all these loops need of one.
struct Owned {
  VARIANT value;
  Owned() { VariantInit(&value); }
  ~Owned() { VariantClear(&value); }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
};

void SetText(VARIANT& slot, std::string_view ascii) {
  const std::wstring wide(ascii.begin(), ascii.end());
  V_VT(&slot) = VT_BSTR;
  V_BSTR(&slot) = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

// A member's DISPID, asked for on the first object that is called with it and then reused.
class Member {
 public:
  explicit Member(const wchar_t* name) : name_(name) {}
  DISPID On(IDispatch* target) {
    if (known_) return id_;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name_)};
    if (FAILED(target->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id_))) Fail("no member");
    known_ = true;
    return id_;
  }

 private:
  const wchar_t* name_;
  DISPID id_ = DISPID_UNKNOWN;
  bool known_ = false;
};

// `args` last first, as IDispatch wants them.
void Get(IDispatch* target, Member& member, VARIANT* args, UINT count, Owned& result) {
  DISPPARAMS params{args, nullptr, count, 0};
  const HRESULT hr =
      target->Invoke(member.On(target), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                     &params, &result.value, nullptr, nullptr);
  if (FAILED(hr)) Fail("a call failed");
}

ComPtr<IDispatch> GetObject(IDispatch* target, Member& member, VARIANT* args = nullptr, UINT count = 0) {
  Owned result;
  Get(target, member, args, count, result);
  if (V_VT(&result.value) != VT_DISPATCH || !V_DISPATCH(&result.value)) Fail("no object came back");
  return ComPtr<IDispatch>(V_DISPATCH(&result.value));
}

long GetLong(IDispatch* target, Member& member) {
  Owned result;
  Get(target, member, nullptr, 0, result);
  if (FAILED(VariantChangeType(&result.value, &result.value, 0, VT_I4))) Fail("no number came back");
  return V_I4(&result.value);
}

bool GetBool(IDispatch* target, Member& member) {
  Owned result;
  Get(target, member, nullptr, 0, result);
  if (V_VT(&result.value) != VT_BOOL) Fail("no Boolean came back");
  return V_BOOL(&result.value) != VARIANT_FALSE;
}

void PutBool(IDispatch* target, Member& member, bool value) {
  VARIANT argument;
  V_VT(&argument) = VT_BOOL;
  V_BOOL(&argument) = value ? VARIANT_TRUE : VARIANT_FALSE;
  DISPID put = DISPID_PROPERTYPUT;
  DISPPARAMS params{&argument, &put, 1, 1};
  const HRESULT hr = target->Invoke(member.On(target), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT,
                                    &params, nullptr, nullptr, nullptr);
  if (FAILED(hr)) Fail("a write failed");
}

struct Members {
  Member activeSheet{L"ActiveSheet"}, screenUpdating{L"ScreenUpdating"};
  Member rows{L"Rows"}, columns{L"Columns"}, cells{L"cells"}, end{L"end"};
  Member row{L"Row"}, column{L"Column"}, entireRow{L"EntireRow"}, entireColumn{L"EntireColumn"};
  Member hidden{L"Hidden"}, value{L"Value"};
};

// The row or column that Excel's move in `direction` from cell (row, column) reaches.
long LastUsed(IDispatch* sheet, Members& m, long row, short column, short direction, Member& answer) {
  VARIANT at[2];
  V_VT(&at[1]) = VT_I4;
  V_I4(&at[1]) = row;
  V_VT(&at[0]) = VT_I2;
  V_I2(&at[0]) = column;
  const ComPtr<IDispatch> corner = GetObject(sheet, m.cells, at, 2);
  // A filled corner is the last one itself, as the tool takes it.
  Owned value;
  Get(corner.Get(), m.value, nullptr, 0, value);
  if (V_VT(&value.value) != VT_EMPTY && V_VT(&value.value) != VT_NULL)
    return direction == kXlUp ? row : column;
  VARIANT towards;
  V_VT(&towards) = VT_I2;
  V_I2(&towards) = direction;
  return GetLong(GetObject(corner.Get(), m.end, &towards, 1).Get(), answer);
}

}  // namespace

LoopTiming RawRecord(IDispatch* application, const std::filesystem::path& path) {
  const Stopwatch watch;
  Members m;
  const ComPtr<IDispatch> sheet = GetObject(application, m.activeSheet);
  const long lastRow = LastUsed(sheet.Get(), m, 65536, 1, kXlUp, m.row);
  std::string text;
  for (long r = 1; r <= lastRow; ++r) {
    const std::string address = std::to_string(r) + ":" + std::to_string(r);
    Owned argument;
    SetText(argument.value, address);
    const ComPtr<IDispatch> rows = GetObject(sheet.Get(), m.rows, &argument.value, 1);
    const bool hidden = GetBool(GetObject(rows.Get(), m.entireRow).Get(), m.hidden);
    text += address + (hidden ? "/True\r\n" : "/False\r\n");
  }
  const long lastColumn = LastUsed(sheet.Get(), m, 1, 256, kXlToLeft, m.column);
  for (long c = 1; c <= lastColumn; ++c) {
    VARIANT argument;
    V_VT(&argument) = VT_I4;
    V_I4(&argument) = c;
    const ComPtr<IDispatch> columns = GetObject(sheet.Get(), m.columns, &argument, 1);
    const bool hidden = GetBool(GetObject(columns.Get(), m.entireColumn).Get(), m.hidden);
    text += std::to_string(c) + (hidden ? "/True\r\n" : "/False\r\n");
  }
  std::ofstream out(path, std::ios::binary);
  out << text;
  out.close();
  if (!out) Fail("the file was not written");
  return watch.Stop(lastRow + lastColumn);
}

LoopTiming RawRestore(IDispatch* application, const std::filesystem::path& path) {
  const Stopwatch watch;
  Members m;
  const ComPtr<IDispatch> sheet = GetObject(application, m.activeSheet);
  PutBool(application, m.screenUpdating, false);
  std::ifstream in(path, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  bool state = false;
  std::int64_t lines = 0;
  for (std::size_t at = 0; at < text.size(); ++lines) {
    const std::size_t end = text.find("\r\n", at);
    const std::string_view line = std::string_view(text).substr(at, end - at);
    at = end == std::string::npos ? text.size() : end + 2;
    const std::size_t slash = line.find('/');
    if (slash == std::string_view::npos) Fail("a line without /");
    const std::string_view target = line.substr(0, slash);
    std::string stateText(line.substr(slash + 1, line.find('/', slash + 1) - slash - 1));
    for (char& c : stateText) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (stateText == "TRUE") state = true;
    if (stateText == "FALSE") state = false;
    Owned argument;
    const bool rows = target.find(':') != std::string_view::npos;
    if (rows) {
      SetText(argument.value, target);
    } else {
      V_VT(&argument.value) = VT_R8;
      V_R8(&argument.value) = std::strtod(std::string(target).c_str(), nullptr);
    }
    const ComPtr<IDispatch> range = GetObject(sheet.Get(), rows ? m.rows : m.columns, &argument.value, 1);
    PutBool(GetObject(range.Get(), rows ? m.entireRow : m.entireColumn).Get(), m.hidden, state);
  }
  PutBool(application, m.screenUpdating, true);
  return watch.Stop(lines);
}

struct RawHideClick::Members {
  Member application{L"Application"}, visible{L"Visible"}, workbooks{L"Workbooks"}, count{L"Count"};
  Member activeWorkbook{L"ActiveWorkbook"}, sheets{L"Sheets"}, activeSheet{L"ActiveSheet"};
  Member selection{L"Selection"}, row{L"Row"}, rows{L"Rows"}, entireRow{L"EntireRow"}, hidden{L"Hidden"};
  ComPtr<IDispatch> book, sheet;
};

RawHideClick::RawHideClick(bool keepHandles)
    : members_(std::make_unique<Members>()), keepHandles_(keepHandles) {}
RawHideClick::~RawHideClick() = default;

ClickSteps RawHideClick::Click() {
  Members& m = *members_;
  ClickSteps steps;
  auto mark = std::chrono::steady_clock::now();
  const auto lap = [&mark](double& into) {
    const auto now = std::chrono::steady_clock::now();
    into = std::chrono::duration<double, std::milli>(now - mark).count();
    mark = now;
  };
  HWND main = nullptr;
  ComPtr<IDispatch> window;
  for (HWND candidate : win32::ExcelMainWindows()) {
    window = win32::NativeWindowObject(candidate).object;
    main = candidate;
    if (window) break;
  }
  if (!window) Fail("no Excel window hands out an object");
  lap(steps.search);
  const ComPtr<IDispatch> app = GetObject(window.Get(), m.application);
  lap(steps.application);
  if (!GetBool(app.Get(), m.visible)) PutBool(app.Get(), m.visible, true);
  if (GetLong(GetObject(app.Get(), m.workbooks).Get(), m.count) == 0) Fail("no workbook open");
  m.book = GetObject(app.Get(), m.activeWorkbook);
  GetLong(GetObject(m.book.Get(), m.sheets).Get(), m.count);
  m.sheet = GetObject(m.book.Get(), m.activeSheet);
  lap(steps.attach);
  win32::BringToFront(main);
  lap(steps.activate);
  const long row = GetLong(GetObject(app.Get(), m.selection).Get(), m.row);
  Owned address;
  SetText(address.value, std::to_string(row) + ":" + std::to_string(row));
  const ComPtr<IDispatch> rows = GetObject(m.sheet.Get(), m.rows, &address.value, 1);
  PutBool(GetObject(rows.Get(), m.entireRow).Get(), m.hidden, true);
  if (!keepHandles_) {
    m.sheet.Reset();
    m.book.Reset();
  }
  lap(steps.command);
  return steps;
}

}  // namespace quarnel::bench
