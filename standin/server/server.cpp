#include "standin/server/server.hpp"

#include <memory>
#include <optional>

#include "common/failure.hpp"
#include "excel/win32/com.hpp"
#include "standin/server/application_object.hpp"
#include "standin/server/demo.hpp"
#include "standin/server/frame_set.hpp"
#include "standin/server/ids.hpp"
#include "standin/server/session_members.hpp"

namespace quarnel::standin::server {
namespace {

// Hands out the one application object, as Excel's class object does for each client.
class ClassFactory final : public win32::ComObject<IClassFactory, win32::Lifetime::Owned> {
 public:
  explicit ClassFactory(IDispatch* application) : application_(application) {}

  // Lives on the server's stack until the class object is revoked.
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    return application_->QueryInterface(iid, out);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

 private:
  IDispatch* application_;
};

// The demo; a visible Excel with an empty workbook when a person starts it; nothing under COM.
void SetUpStart(Model& model, const Switches& switches) {
  if (switches.demo) {
    SetUpDemo(model);
  } else if (!switches.embedding) {
    model.AddWorkbook();
    model.SetVisible(true);
  }
}

constexpr UINT kReleaseCheckMs = 100;

// Runs until the application quits, or until `released` holds when the thread's own timer asks.
template <typename Released>
void PumpMessages(Released released) {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (!message.hwnd && message.message == WM_TIMER && released()) return;
    // A plain sleep, as in AutomationObject::Invoke: a frozen Excel takes no messages at all.
    if (!message.hwnd && message.message == kFreezeMessage) {
      Sleep(static_cast<DWORD>(message.wParam));
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

// The windows follow the model after every call; Hwnd and StandinFrame ask them which frame.
void Connect(Session& session, FrameSet& windows) {
  session.model.SetFrameHook([&windows] { return LongOf(windows.Front()); });
  session.frameOf = [&windows](const WorkbookState& book) { return windows.FrameOf(book); };
  session.changed = [&windows] { windows.Refresh(); };
  // The reply to the call that quit goes out before the loop sees WM_QUIT.
  session.quit = [] { PostQuitMessage(0); };
}

void Disconnect(Session& session) {
  session.closedByPerson = nullptr;
  session.deactivated = nullptr;
  session.changed = nullptr;
  session.quit = nullptr;
  session.frameOf = nullptr;
  session.model.SetFrameHook(nullptr);
}

}  // namespace

int RunServer(const Switches& switches) {
  std::optional<win32::ComInit> com;
  try {
    com.emplace();
  } catch (const Failure&) {
    return 1;
  }
  auto session = std::make_shared<Session>();
  SetUpStart(session->model, switches);
  FrameSet windows(*session);
  Connect(*session, windows);

  const Microsoft::WRL::ComPtr<IDispatch> application = MakeApplicationObject(session);
  ClassFactory factory(application.Get());
  win32::ClassObjectEntry classEntry;
  const bool served =
      !switches.embedding || SUCCEEDED(CoRegisterClassObject(kClsid, &factory, CLSCTX_LOCAL_SERVER,
                                                             REGCLS_MULTIPLEUSE, classEntry.Put()));
  win32::RunningObjectEntry runningEntry;
  const auto enterRunningTable = [&] {
    if (!runningEntry)
      RegisterActiveObject(application.Get(), kClsid, ACTIVEOBJECT_STRONG, runningEntry.Put());
  };
  if (switches.lateRegister) {
    session->deactivated = enterRunningTable;
  } else {
    enterRunningTable();
  }
  // A person closing Excel while programs hold its objects only hides it, as Excel does: it leaves
  // the running object table, takes no new clients, and ends once no client holds anything of it.
  bool closed = false;
  session->closedByPerson = [&] {
    if (closed) return;
    closed = true;
    session->model.SetVisible(false);
    windows.Refresh();
    runningEntry.Close();
    classEntry.Close();
    SetTimer(nullptr, 0, kReleaseCheckMs, nullptr);
  };
  windows.Refresh();
  if (served) PumpMessages([&] { return closed && session->connections == 0; });

  Disconnect(*session);
  runningEntry.Close();
  classEntry.Close();
  // Clients still holding objects learn at once that Excel is gone.
  CoDisconnectObject(application.Get(), 0);
  return served ? 0 : 2;
}

}  // namespace quarnel::standin::server
