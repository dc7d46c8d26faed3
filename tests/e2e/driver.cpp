#include "tests/e2e/driver.hpp"
//
#include <tlhelp32.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <map>
#include <thread>
#include <utility>

#include "common/win32/utf16.hpp"
#include "common/win32/window_text.hpp"
#include "excel/win32/connector.hpp"

namespace quarnel::e2e {
namespace {

using win32::ToUtf16;
using win32::ToUtf8;
using Clock = std::chrono::steady_clock;

constexpr UINT kSendTimeout = 5000;
// Short retries: a busy stand-in is a test's own doing, and a check must not wait on it long.
constexpr win32::BusyRetry kCheckRetry{2000ms, 20ms};

// Reads a window's text from the system's copy: never blocks on a busy owner.
std::wstring TextOf(HWND window) {
  std::array<wchar_t, 4096> text{};
  InternalGetWindowText(window, text.data(), static_cast<int>(text.size()));
  return text.data();
}

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> found;
  EnumChildWindows(
      parent,
      [](HWND child, LPARAM list) {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

std::vector<HWND> TopLevelWindowsOf(DWORD process) {
  struct Search {
    DWORD process;
    std::vector<HWND> found;
  } search{process, {}};
  EnumWindows(
      [](HWND window, LPARAM context) {
        auto& s = *reinterpret_cast<Search*>(context);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == s.process) s.found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void Press(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

// A key pressed and let go, with the scan code and transition bits a keyboard gives them.
void PressKey(HWND window, WPARAM key) {
  const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC)) << 16;
  PostMessageW(window, WM_KEYDOWN, key, scan | 1);
  PostMessageW(window, WM_KEYUP, key, scan | 1 | static_cast<LPARAM>(0xC0000000u));
}

bool Gone(HWND window) { return !IsWindow(window) || !IsWindowVisible(window); }

// The screen's pixels inside `r`, as they are now.
Picture ScreenPixels(const RECT& r) {
  Picture picture{r.right - r.left, r.bottom - r.top, {}};
  if (picture.width <= 0 || picture.height <= 0) return {};
  const win32::ScreenDc screen;
  const win32::MemoryDc memory(screen.Get());
  BITMAPINFO info{};
  // Negative height: top row first, as Picture holds them.
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), picture.width, -picture.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  const win32::OwnedBitmap bitmap(CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap) return {};
  const win32::Selection selected(memory.Get(), bitmap.Get());
  if (!BitBlt(memory.Get(), 0, 0, picture.width, picture.height, screen.Get(), r.left, r.top,
              SRCCOPY | CAPTUREBLT)) {
    return {};
  }
  GdiFlush();
  const auto* first = static_cast<const std::uint32_t*>(bits);
  picture.pixels.assign(first, first + static_cast<std::size_t>(picture.width) * picture.height);
  for (std::uint32_t& pixel : picture.pixels) pixel &= 0xFFFFFF;
  return picture;
}

// True once neither `window` nor any window inside it has anything left to paint.
bool NothingLeftToPaint(HWND window) {
  if (GetUpdateRect(window, nullptr, FALSE)) return false;
  for (HWND child : Children(window)) {
    if (GetUpdateRect(child, nullptr, FALSE)) return false;
  }
  return true;
}

// A window is seen as soon as it shows, before it has painted, and its thread answers a sent
// message before it paints what is pending. So: nothing left to paint, then an answer, which comes
// only once the paint under way has ended.
bool WaitUntilDrawn(HWND window) {
  DWORD_PTR result = 0;
  return WaitFor([&] { return NothingLeftToPaint(window); }, 5s) &&
         SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, kSendTimeout, &result) != 0;
}

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

}  // namespace

bool WaitFor(const std::function<bool()>& done, Millis timeout, Millis step) {
  const auto until = Clock::now() + timeout;
  for (;;) {
    try {
      if (done()) return true;
    } catch (const Failure&) {
      // Not there yet: a stand-in just started has no sheet to ask about.
    }
    if (Clock::now() >= until) return false;
    std::this_thread::sleep_for(step);
  }
}

std::wstring ArtifactFolder() {
  const std::string folder = Environment("QUARNEL_E2E_ARTIFACTS");
  return folder.empty() ? std::wstring() : WindowsPath(folder);
}

Picture Capture(HWND window) {
  // One that does not answer is taken as the screen shows it.
  if (window) WaitUntilDrawn(window);
  RECT r{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (window && !GetWindowRect(window, &r)) return {};
  Picture shown;
  // Wine copies what a window painted to the screen when the window's thread next waits for a
  // message: the screen has caught up once it shows the same twice in a row.
  WaitFor(
      [&] {
        const Picture earlier = ScreenPixels(r);
        std::this_thread::sleep_for(100ms);
        shown = ScreenPixels(r);
        return !shown.Empty() && shown.pixels == earlier.pixels;
      },
      5s, 0ms);
  return shown;
}

bool SaveScreenshot(HWND window, const std::wstring& name) {
  const std::wstring folder = ArtifactFolder();
  return !folder.empty() && WriteBmp(Capture(window), folder + L"\\" + name + L".bmp");
}

std::vector<bool> GreyedEntries(HWND menu) {
  const Picture shown = Capture(menu);
  if (shown.Empty()) return {};
  std::map<std::uint32_t, int> counts;
  for (const std::uint32_t pixel : shown.pixels) ++counts[pixel];
  const std::uint32_t paper =
      std::max_element(counts.begin(), counts.end(), [](const auto& a, const auto& b) {
        return a.second < b.second;
      })->first;
  const auto channel = [](std::uint32_t pixel, int shift) {
    return static_cast<int>((pixel >> shift) & 0xFF);
  };
  // Inside the menu's frame; grey text is drawn no darker than 0x80, black text's strokes are.
  constexpr int kFrame = 3;
  constexpr int kInk = 48;
  constexpr int kGreyText = 0x60;
  std::vector<bool> greyed;
  int top = -1;
  int darkest = 255;
  for (int y = kFrame; y <= shown.height - kFrame; ++y) {
    bool ink = false;
    for (int x = kFrame; y < shown.height - kFrame && x < shown.width - kFrame; ++x) {
      int brightest = 0;
      int apart = 0;
      for (const int shift : {0, 8, 16}) {
        brightest = std::max(brightest, channel(shown.At(x, y), shift));
        apart = std::max(apart, std::abs(channel(shown.At(x, y), shift) - channel(paper, shift)));
      }
      if (apart <= kInk) continue;
      ink = true;
      darkest = std::min(darkest, brightest);
    }
    if (ink && top < 0) top = y;
    if (ink || top < 0) continue;
    // The line between entries is a pixel or two high; a line of text is taller.
    if (y - top > 3) greyed.push_back(darkest >= kGreyText);
    top = -1;
    darkest = 255;
  }
  return greyed;
}

// ---------------------------------------------------------------------------------------------

Quarnel::Quarnel(const std::wstring& folder) : folder_(folder) {
  CreateDirectoryW(folder_.c_str(), nullptr);
  const std::wstring program = folder_ + L"\\quarnel.exe";
  if (!CopyFileW(WindowsPath(QUARNEL_EXE).c_str(), program.c_str(), FALSE)) return;
  process_ = Process::Start(program, L"", folder_);
  if (!process_.Running()) return;
  WaitFor(
      [&] {
        for (HWND window : TopLevelWindowsOf(process_.Id())) {
          if (win32::ClassName(window) == L"QuarnelForm1" && IsWindowVisible(window)) {
            window_ = window;
            return true;
          }
        }
        return false;
      },
      30s);
}

Quarnel::~Quarnel() {
  if (process_.Running() && window_ && IsWindow(window_)) {
    for (const Box& box : Boxes()) PostMessageW(box.window, WM_CLOSE, 0, 0);
    PostMessageW(window_, WM_CLOSE, 0, 0);
    process_.WaitExit(3s);
  }
  process_.Kill();
}

HWND Quarnel::Control(const std::string& caption) const {
  if (!window_) return nullptr;
  for (HWND child : Children(window_)) {
    const std::wstring kind = win32::ClassName(child);
    if (caption == "Text1" ? _wcsicmp(kind.c_str(), L"Edit") == 0
                           : _wcsicmp(kind.c_str(), L"Button") == 0 && TextOf(child) == ToUtf16(caption)) {
      return child;
    }
  }
  return nullptr;
}

void Quarnel::Click(const std::string& caption) {
  if (const HWND button = Control(caption)) Press(button);
}

void Quarnel::RightClick(const std::string& caption) {
  const HWND button = Control(caption);
  if (!button) return;
  RECT r{};
  GetClientRect(button, &r);
  const LPARAM middle = MAKELPARAM(r.right / 2, r.bottom / 2);
  PostMessageW(button, WM_RBUTTONDOWN, MK_RBUTTON, middle);
  PostMessageW(button, WM_RBUTTONUP, 0, middle);
}

void Quarnel::TypeNote(const std::string& text) {
  const std::wstring wide = ToUtf16(text);
  DWORD_PTR result = 0;
  SendMessageTimeoutW(Control("Text1"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()),
                      SMTO_ABORTIFHUNG, kSendTimeout, &result);
}

std::string Quarnel::Note() const {
  std::array<wchar_t, 1024> text{};
  DWORD_PTR result = 0;
  SendMessageTimeoutW(Control("Text1"), WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                      SMTO_ABORTIFHUNG, kSendTimeout, &result);
  return ToUtf8(text.data());
}

std::vector<Box> Quarnel::Boxes() const {
  std::vector<Box> boxes;
  for (HWND window : TopLevelWindowsOf(process_.Id())) {
    if (win32::ClassName(window) != L"#32770" || !IsWindowVisible(window)) continue;
    Box box{window, ToUtf8(TextOf(window)), {}};
    for (HWND child : Children(window)) {
      if (_wcsicmp(win32::ClassName(child).c_str(), L"Static") != 0 || GetParent(child) != window) continue;
      const std::wstring text = TextOf(child);
      if (!text.empty()) box.text += (box.text.empty() ? "" : "\n") + ToUtf8(text);
    }
    boxes.push_back(box);
  }
  return boxes;
}

std::optional<Box> Quarnel::WaitForBox(Millis timeout) const {
  std::optional<Box> found;
  WaitFor(
      [&] {
        const auto boxes = Boxes();
        if (!boxes.empty()) found = boxes.front();
        return found.has_value();
      },
      timeout);
  return found;
}

bool Quarnel::CloseBox(const Box& box) const {
  return Answer(box, GetDlgItem(box.window, IDOK) ? IDOK : IDCANCEL);
}

bool Quarnel::Answer(const Box& box, int id) const {
  const HWND button = GetDlgItem(box.window, id);
  if (!button) return false;
  Press(button);
  return WaitFor([&] { return Gone(box.window); }, 10s);
}

bool Quarnel::ChooseFile(const Box& dialog, const std::wstring& path) const {
  constexpr int kNameCombo = 0x47c;  // cmb13
  constexpr int kNameEdit = 0x480;   // edt1
  HWND name = GetDlgItem(dialog.window, kNameCombo);
  if (!name || !IsWindowVisible(name)) name = GetDlgItem(dialog.window, kNameEdit);
  if (!name) return false;
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()), SMTO_ABORTIFHUNG,
                           kSendTimeout, &result)) {
    return false;
  }
  Press(GetDlgItem(dialog.window, IDOK));
  return WaitFor([&] { return !IsWindow(dialog.window); }, 10s);
}

bool Quarnel::CancelDialog(const Box& dialog) const {
  Press(GetDlgItem(dialog.window, IDCANCEL));
  return WaitFor([&] { return !IsWindow(dialog.window); }, 10s);
}

HWND Quarnel::WaitForMenu(Millis timeout) const {
  HWND menu = nullptr;
  WaitFor(
      [&] {
        for (HWND window : TopLevelWindowsOf(process_.Id())) {
          if (win32::ClassName(window) == L"#32768" && IsWindowVisible(window)) menu = window;
        }
        return menu != nullptr;
      },
      timeout);
  return menu;
}

bool Quarnel::PickFromMenu(HWND menu, int entry, Millis timeout) const {
  for (int i = 0; i < entry; ++i) PressKey(menu, VK_DOWN);
  PressKey(menu, VK_RETURN);
  return WaitFor([&] { return Gone(menu); }, timeout);
}

bool Quarnel::CloseMenu(HWND menu) const {
  PressKey(menu, VK_ESCAPE);
  return WaitFor([&] { return Gone(menu); }, 10s);
}

bool Quarnel::Idle(Millis timeout) const {
  DWORD_PTR result = 0;
  return window_ && SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL,
                                        static_cast<UINT>(timeout.count()), &result) != 0;
}

std::vector<std::wstring> Quarnel::Snapshots() const { return FileNamesIn(folder_, L"*.txt"); }

std::vector<std::wstring> Quarnel::FilesBeside() const {
  std::vector<std::wstring> names = FileNamesIn(folder_);
  std::erase(names, L"quarnel.exe");
  return names;
}

std::string Quarnel::ReadFile(const std::wstring& name) const { return ReadBytes(folder_ + L"\\" + name); }

// ---------------------------------------------------------------------------------------------

std::wstring Standin::ProgramPath() { return WindowsPath(QUARNEL_STANDIN_EXE); }

DWORD Standin::Run(const std::wstring& switches) { return Process::Run(ProgramPath(), switches, 30s); }

Standin::Standin(excel::Object application, Process process)
    : app_(std::move(application)), process_(std::move(process)) {}

Standin Standin::Launch(const std::wstring& switches) {
  Process process = Process::Start(ProgramPath(), switches);
  excel::Object app;
  WaitFor(
      [&] {
        // Another instance may be found first while this one's window is not up yet.
        if (auto running = Running(); running && running->process_.Id() == process.Id()) app = running->app_;
        return static_cast<bool>(app) || !process.Running();
      },
      30s, 100ms);
  return Standin(app, std::move(process));
}

std::optional<Standin> Standin::Running() {
  try {
    win32::ComConnector connector(kCheckRetry);
    excel::Object app = connector.GetRunning("Excel.Application");
    const auto id = static_cast<DWORD>(excel::ToLong(app.Get("StandinProcessId")));
    return Standin(app, Process::Open(id));
  } catch (const Failure&) {
    return std::nullopt;
  }
}

void Standin::EndAll() {
  for (int i = 0; i < 5; ++i) {
    auto running = Running();
    if (!running) return;
    if (!running->Quit()) running->process_.Kill();
  }
}

bool Standin::RowHidden(std::int32_t row) const {
  return excel::ToBool(app_.Call("StandinIsRowHidden", {row}));
}

bool Standin::ColumnHidden(std::int32_t column) const {
  return excel::ToBool(app_.Call("StandinIsColumnHidden", {column}));
}

void Standin::Select(const std::string& address) const { app_.GetObject("Range", {address}).Call("Select"); }

void Standin::SetHidden(const char* lines, const excel::Value& which, bool hidden) const {
  const bool rows = std::string(lines) == "Rows";
  app_.GetObject(lines, {which}).GetObject(rows ? "EntireRow" : "EntireColumn").Put("Hidden", hidden);
}

std::string Standin::HiddenView() const {
  std::string rows;
  std::string columns;
  for (int row = 1; row <= 30; ++row) {
    if (RowHidden(row)) rows += " " + std::to_string(row);
  }
  for (int column = 1; column <= 8; ++column) {
    if (ColumnHidden(column)) columns += " " + std::to_string(column);
  }
  return "rows" + rows + ", columns" + columns;
}

HWND Standin::Window() const {
  return reinterpret_cast<HWND>(static_cast<std::intptr_t>(excel::ToLong(app_.Get("StandinWindow"))));
}

HWND Standin::Frame(const std::string& workbook) const {
  return reinterpret_cast<HWND>(
      static_cast<std::intptr_t>(excel::ToLong(app_.Call("StandinFrame", {workbook}))));
}

int Standin::Processes() {
  const win32::OwnedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return -1;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  int count = 0;
  for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more;
       more = Process32NextW(snapshot.Get(), &entry))
    count += _wcsicmp(entry.szExeFile, L"excel_standin.exe") == 0 ? 1 : 0;
  return count;
}

bool Standin::Quit() {
  try {
    app_.Call("Quit");
  } catch (const Failure&) {
    // Gone already, or going: the wait below tells.
  }
  app_ = {};
  return process_.WaitExit(15s);
}

}  // namespace quarnel::e2e
