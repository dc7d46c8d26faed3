#include "app/win32/form1.hpp"

#include <commctrl.h>

#include <utility>
#include <vector>

#include "app/form_layout.hpp"
#include "common/failure.hpp"
#include "common/win32/owned.hpp"
#include "common/win32/utf16.hpp"
#include "common/win32/window_procedure.hpp"
#include "excel/win32/com_failure.hpp"
#include "excel/win32/patient_calls.hpp"

namespace quarnel::win32 {
namespace {

constexpr wchar_t kClassName[] = L"QuarnelForm1";
// Away from IDOK and IDCANCEL, which Enter and Escape send: they must click nothing.
constexpr int kFirstControlId = 1001;
constexpr UINT kDpiChanged = 0x02E0;

// Why a window or its class could not be made, in the system's words; read before any other call.
Failure WindowFailure(DWORD error = GetLastError()) {
  return error != ERROR_SUCCESS ? FailureFromHresult(HRESULT_FROM_WIN32(error))
                                : errors::Catalogued(errors::kOutOfMemory);
}

void RegisterFormClass(HINSTANCE instance, WNDPROC procedure) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (GetClassInfoExW(instance, kClassName, &existing)) return;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = procedure;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClassName;
  OwnedIcon largeIcon(
      static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE)));
  OwnedIcon smallIcon(
      static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                    GetSystemMetrics(SM_CYSMICON), 0)));
  wc.hIcon = largeIcon.Get();
  wc.hIconSm = smallIcon.Get();
  if (!RegisterClassExW(&wc)) throw WindowFailure();
  // The class stays registered for the rest of the program, and its icons with it.
  static OwnedIcon classIcons[2];
  classIcons[0] = std::move(largeIcon);
  classIcons[1] = std::move(smallIcon);
}

HCURSOR WaitCursor() { return LoadCursorW(nullptr, MAKEINTRESOURCEW(32514)); }  // IDC_WAIT

// While a command runs: the guard up and the wait cursor shown, both undone however it ends.
class RunningScope {
 public:
  explicit RunningScope(bool& running) noexcept : running_(running), previous_(SetCursor(WaitCursor())) {
    running_ = true;
  }
  ~RunningScope() {
    running_ = false;
    SetCursor(previous_);
  }
  RunningScope(const RunningScope&) = delete;
  RunningScope& operator=(const RunningScope&) = delete;

 private:
  bool& running_;
  HCURSOR previous_;
};

void SetFont(HWND control, const OwnedFont& font) {
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
}

}  // namespace

Form1::Form1(HINSTANCE instance, app::ClickTarget& clicks, bool endsProgram)
    : clicks_(clicks), endsProgram_(endsProgram) {
  RegisterFormClass(instance, ProcedureOf<Form1, &Form1::Receive>);
  const std::wstring caption = ToUtf16(app::Form1Definition().caption);
  // Fixed single border, system menu and close box only.
  const DWORD style = WS_CAPTION | WS_SYSMENU;
  // The window is owned from WM_NCCREATE on, so one that fails later in its creation is not kept.
  CreateWindowExW(0, kClassName, caption.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT, 320, 120, nullptr,
                  nullptr, instance, this);
  if (!window_) throw WindowFailure();
  // A failure of the load step is not handled here: the half-built window goes with its owner, and
  // the failure reaches the start-up report.
  CreateControls(instance);
  Layout(WindowDpi(window_.Get()));
  常用函数::SetTopMost(window_.Get());
  常用函数::PlaceWindow(window_.Get(), 2.0);
  // After the load step: under Wine a topmost popup owned by the window keeps it out of the band.
  CreateTooltips(instance);
}

HWND Form1::Control(std::string_view name) const noexcept {
  const app::ControlDef* def = app::FindControl(name);
  if (!def) return nullptr;
  return controls_[static_cast<std::size_t>(def - app::Form1Definition().controls.data())];
}

void Form1::Show(int showCommand) {
  ShowWindow(window_.Get(), showCommand);
  UpdateWindow(window_.Get());
}

void Form1::CreateControls(HINSTANCE instance) {
  const auto& controls = app::Form1Definition().controls;
  // Creation order is tab order.
  for (std::size_t i = 0; i < controls.size(); ++i) {
    const app::ControlDef& def = controls[i];
    const bool isButton = def.kind == app::ControlKind::Button;
    const DWORD style =
        WS_CHILD | WS_VISIBLE | WS_TABSTOP |
        (isButton ? static_cast<DWORD>(BS_PUSHBUTTON) : static_cast<DWORD>(ES_LEFT | ES_AUTOHSCROLL));
    controls_[i] = CreateWindowExW(
        isButton ? 0 : WS_EX_CLIENTEDGE, isButton ? L"BUTTON" : L"EDIT", ToUtf16(def.text).c_str(), style, 0,
        0, 0, 0, window_.Get(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + def.tabIndex)),
        instance, nullptr);
    if (!controls_[i]) throw WindowFailure();
    if (!isButton) SendMessageW(controls_[i], EM_SETLIMITTEXT, 0, 0);  // the largest the box allows
  }
  focus_ = controls_[0];
}

void Form1::CreateTooltips(HINSTANCE instance) {
  const auto& controls = app::Form1Definition().controls;
  tooltips_ =
      CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_.Get(), nullptr, instance, nullptr);
  if (!tooltips_) throw WindowFailure();
  for (std::size_t i = 0; i < controls.size(); ++i) {
    if (controls[i].tooltip.empty()) continue;
    std::wstring text = ToUtf16(controls[i].tooltip);
    TTTOOLINFOW tool{};
    // The smaller size that every comctl32 version accepts.
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window_.Get();
    tool.uId = reinterpret_cast<UINT_PTR>(controls_[i]);
    tool.lpszText = text.data();
    if (!SendMessageW(tooltips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)))
      throw errors::Catalogued(errors::kOutOfMemory);
  }
  SetFont(tooltips_, fonts_.button);
}

void Form1::Layout(Dpi dpi) {
  using app::TwipsToPixels;
  const app::FormDef& form = app::Form1Definition();

  // The frame's thickness is whatever the system draws: measure it rather than compute it.
  RECT outer{};
  RECT client{};
  GetWindowRect(window_.Get(), &outer);
  GetClientRect(window_.Get(), &client);
  const int frameX = (outer.right - outer.left) - (client.right - client.left);
  const int frameY = (outer.bottom - outer.top) - (client.bottom - client.top);
  SetWindowPos(window_.Get(), nullptr, 0, 0, TwipsToPixels(form.clientWidth, dpi.x) + frameX,
               TwipsToPixels(form.clientHeight, dpi.y) + frameY, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

  FormFonts fonts = MakeFormFonts(dpi);
  for (std::size_t i = 0; i < form.controls.size(); ++i) {
    const app::TwipsRect& r = form.controls[i].rect;
    MoveWindow(controls_[i], TwipsToPixels(r.left, dpi.x), TwipsToPixels(r.top, dpi.y),
               TwipsToPixels(r.width, dpi.x), TwipsToPixels(r.height, dpi.y), TRUE);
    SetFont(controls_[i], form.controls[i].kind == app::ControlKind::TextBox ? fonts.note : fonts.button);
  }
  if (tooltips_) SetFont(tooltips_, fonts.button);
  // The fonts these replace are deleted only now that no control uses them.
  fonts_ = std::move(fonts);
}

void Form1::Click(app::Button button) {
  // Leaving mid-command would leave Excel half-changed and its drawing paused: a close asked for
  // while a command runs is kept for its end, and any other click then starts nothing.
  if (button == app::Button::Command5) {
    Close();
    return;
  }
  RunCommand([&] { clicks_.OnClick(button); });
}

template <typename Command>
void Form1::RunCommand(Command command) {
  if (running_) return;
  {
    const RunningScope scope(running_);
    command();
  }
  DropClicksMadeMeanwhile();
  if (closeRequested_) Close();
}

void Form1::ShowRestoreMenu(LPARAM at) {
  if (running_) return;
  const std::vector<app::MenuItem> items = clicks_.RestoreMenu();
  if (items.empty()) return;
  const OwnedMenu menu(CreatePopupMenu());
  if (!menu) return;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (items[i].separated) AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
    // A single "&" would underline the character after it.
    std::wstring label;
    for (const wchar_t c : ToUtf16(items[i].label))
      label += c == L'&' ? std::wstring(L"&&") : std::wstring(1, c);
    AppendMenuW(menu.Get(), MF_STRING | (items[i].enabled ? 0u : static_cast<UINT>(MF_GRAYED)), i + 1,
                label.c_str());
  }
  POINT point{static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
  UINT flags = TPM_RETURNCMD | TPM_RIGHTBUTTON;
  TPMPARAMS keepClear{sizeof(TPMPARAMS), {}};
  if (at == -1) {
    // Below the button, or above it where the screen ends first: never over it.
    GetWindowRect(Control("Command4"), &keepClear.rcExclude);
    point = {keepClear.rcExclude.left, keepClear.rcExclude.bottom};
    flags |= TPM_VERTICAL;
  }
  const int picked = static_cast<int>(
      TrackPopupMenuEx(menu.Get(), flags, point.x, point.y, window_.Get(), at == -1 ? &keepClear : nullptr));
  if (picked < 1 || static_cast<std::size_t>(picked) > items.size()) return;
  RunCommand([&] { clicks_.OnMenu(items[static_cast<std::size_t>(picked) - 1]); });
}

void Form1::Close() {
  if (running_) {
    closeRequested_ = true;
  } else {
    window_.Close();
  }
}

// COM's modal loop leaves input in the queue while a call waits on Excel: a click made then on a
// command button would run only after the command, as a surprise. The exit button's click, what
// is typed into the note, and what came after Excel's last answer stay.
void Form1::DropClicksMadeMeanwhile() {
  const DWORD lastCall = LastCallEnded();
  const auto& controls = app::Form1Definition().controls;
  for (std::size_t i = 0; i < controls.size(); ++i) {
    if (!controls[i].button || *controls[i].button == app::Button::Command5) continue;
    for (const auto& [first, last] : {std::pair<UINT, UINT>{WM_MOUSEFIRST, WM_MOUSELAST},
                                      {WM_KEYFIRST, WM_KEYLAST},
                                      {BM_CLICK, BM_CLICK}}) {
      MSG message;
      while (PeekMessageW(&message, controls_[i], first, last, PM_NOREMOVE | PM_NOYIELD) &&
             static_cast<LONG>(message.time - lastCall) <= 0) {
        PeekMessageW(&message, controls_[i], first, last, PM_REMOVE | PM_NOYIELD);
      }
    }
  }
}

// A command button's BN_CLICKED; the note box's notifications come here too and are let be.
void Form1::ClickedControl(WPARAM wParam) {
  const int index = LOWORD(wParam) - kFirstControlId;
  const auto& controls = app::Form1Definition().controls;
  if (HIWORD(wParam) == BN_CLICKED && index >= 0 && index < static_cast<int>(controls.size()) &&
      controls[static_cast<std::size_t>(index)].button) {
    Click(*controls[static_cast<std::size_t>(index)].button);
  }
}

LRESULT Form1::Receive(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE: *window_.Put() = window; break;
    case WM_COMMAND: ClickedControl(wParam); return 0;
    case WM_CONTEXTMENU:
      if (reinterpret_cast<HWND>(wParam) == Control("Command4")) {
        ShowRestoreMenu(lParam);
        return 0;
      }
      break;
    case DM_GETDEFID: return 0;  // no default button
    case WM_SETCURSOR:
      // Over a window disabled by a box the command shows, the system's own cursor stays.
      if (running_ && LOWORD(lParam) == HTCLIENT) {
        SetCursor(WaitCursor());
        return TRUE;
      }
      return DefWindowProcW(window, message, wParam, lParam);
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focused = GetFocus();
        if (focused && IsChild(window, focused)) focus_ = focused;
      } else if (focus_) {
        SetFocus(focus_);
      }
      return 0;
    case kDpiChanged: {
      Layout({LOWORD(wParam), HIWORD(wParam)});
      const auto* suggested = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(window, nullptr, suggested->left, suggested->top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case WM_CLOSE: Close(); return 0;
    case WM_DESTROY:
      if (endsProgram_) PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      window_.Release();
      controls_.fill(nullptr);
      tooltips_ = nullptr;
      return 0;
    default: break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

int RunMessageLoop(HWND window) {
  MSG message{};
  for (;;) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(message.wParam);
    if (got == -1) return 1;
    if (IsWindow(window) && IsDialogMessageW(window, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void DiscardQuit() noexcept {
  MSG message{};
  while (PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
}

}  // namespace quarnel::win32
