// quarnel.exe: the window beside Excel.

#include "common/win32/win_headers.hpp"
//
#include <commctrl.h>

#include "app/click.hpp"
#include "app/win32/desktop.hpp"
#include "app/win32/form1.hpp"
#include "common/trace.hpp"
#include "common/win32/debug_output.hpp"
#include "excel/attach.hpp"
#include "excel/win32/com.hpp"
#include "excel/win32/connector.hpp"
#include "excel/win32/patient_calls.hpp"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  // Started from a Downloads folder, a DLL saved beside the program must never stand in for a
  // system one: every DLL loaded from here on comes from System32.
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  quarnel::trace::SetSink(quarnel::win32::WriteToDebugger);
  try {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    const quarnel::win32::ComInit com;
    quarnel::win32::ComConnector connector;
    quarnel::win32::WindowsDesktop desktop;
    quarnel::Host host{connector, desktop};
    quarnel::app::Commands commands(host);
    quarnel::win32::Form1 form(instance, commands);
    desktop.SetWindow(form.Handle(), form.Control("Text1"));
    // Excel busy with a long task neither answers nor refuses: after 15 s the user decides.
    const quarnel::win32::PatientCalls patience(
        form.Handle(), std::chrono::seconds(15),
        [&desktop](std::chrono::seconds waited) { return desktop.AskToKeepWaiting(waited); });
    form.Show(showCommand);
    return quarnel::win32::RunMessageLoop(form.Handle());
  } catch (...) {
    // Start-up failed, so no window is there to own the box: it ends the program. The window, if
    // it was made, asked to quit as it went, which would close the box before anyone read it.
    quarnel::win32::DiscardQuit();
    quarnel::win32::WindowsDesktop desktop;
    quarnel::app::ReportCurrentFailure(desktop);
    return 1;
  }
}
