// oleacc.dll as a stranger might leave it in a Downloads folder: harmless, but it leaves a marker
// file beside itself, naming the program that loaded it, so a test can tell it was loaded.

#include <windows.h>

namespace {

void LeaveMarker(HMODULE self) {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(self, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  wchar_t* slash = wcsrchr(path, L'\\');
  if (!slash || slash + 1 + wcslen(L"oleacc-loaded.txt") >= path + MAX_PATH) return;
  wcscpy(slash + 1, L"oleacc-loaded.txt");
  const HANDLE marker = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_ALWAYS, 0, nullptr);
  if (marker == INVALID_HANDLE_VALUE) return;
  wchar_t program[MAX_PATH] = {};
  const DWORD programLength = GetModuleFileNameW(nullptr, program, MAX_PATH);
  DWORD written = 0;
  WriteFile(marker, program, programLength * sizeof(wchar_t), &written, nullptr);
  WriteFile(marker, L"\r\n", 2 * sizeof(wchar_t), &written, nullptr);
  CloseHandle(marker);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) LeaveMarker(self);
  return TRUE;
}

// What the real oleacc offers, failing: a program that did take this DLL would still run on.
extern "C" __declspec(dllexport) HRESULT WINAPI AccessibleObjectFromWindow(HWND, DWORD, REFIID, void** out) {
  if (out) *out = nullptr;
  return E_FAIL;
}
extern "C" __declspec(dllexport) HRESULT WINAPI ObjectFromLresult(LRESULT, REFIID, WPARAM, void** out) {
  if (out) *out = nullptr;
  return E_FAIL;
}
