#include "standin/server/registration.hpp"

#include <utility>

#include "standin/server/ids.hpp"

namespace quarnel::standin::server {
namespace {

const std::wstring kClasses = L"Software\\Classes\\";

HRESULT SetText(HKEY root, const std::wstring& key, const std::wstring& value) {
  const LSTATUS status = RegSetKeyValueW(root, key.c_str(), nullptr, REG_SZ, value.c_str(),
                                         static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  return HRESULT_FROM_WIN32(static_cast<DWORD>(status));
}

HRESULT DeleteTree(HKEY root, const std::wstring& key) {
  const LSTATUS status = RegDeleteTreeW(root, key.c_str());
  if (status == ERROR_FILE_NOT_FOUND) return S_OK;
  if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(static_cast<DWORD>(status));
  // RegDeleteTree empties the key but leaves it.
  const LSTATUS removed = RegDeleteKeyW(root, key.c_str());
  return removed == ERROR_SUCCESS || removed == ERROR_FILE_NOT_FOUND
             ? S_OK
             : HRESULT_FROM_WIN32(static_cast<DWORD>(removed));
}

std::wstring ReadText(HKEY root, const std::wstring& key) {
  wchar_t text[128] = {};
  DWORD size = sizeof(text);
  if (RegGetValueW(root, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS) {
    return {};
  }
  return text;
}

HRESULT WriteUnder(HKEY root, const ClassRegistration& entry, std::wstring_view exePath) {
  const std::wstring clsid = GuidText(entry.clsid);
  const std::wstring progKey = kClasses + entry.progId;
  const std::wstring classKey = kClasses + L"CLSID\\" + clsid;
  const std::pair<std::wstring, std::wstring> values[] = {
      {progKey, entry.description},
      {progKey + L"\\CLSID", clsid},
      {classKey, entry.description},
      {classKey + L"\\LocalServer32", L"\"" + std::wstring(exePath) + L"\""},
      {classKey + L"\\ProgID", entry.progId},
  };
  for (const auto& [key, value] : values) {
    if (const HRESULT hr = SetText(root, key, value); FAILED(hr)) return hr;
  }
  return S_OK;
}

HRESULT RemoveUnder(HKEY root, const ClassRegistration& entry) {
  const std::wstring clsid = GuidText(entry.clsid);
  const std::wstring progKey = kClasses + entry.progId;
  HRESULT result = S_OK;
  if (_wcsicmp(ReadText(root, progKey + L"\\CLSID").c_str(), clsid.c_str()) == 0) {
    result = DeleteTree(root, progKey);
  }
  const HRESULT classResult = DeleteTree(root, kClasses + L"CLSID\\" + clsid);
  return FAILED(result) ? result : classResult;
}

bool Resolves(const ClassRegistration& entry) {
  CLSID found{};
  return SUCCEEDED(CLSIDFromProgID(entry.progId.c_str(), &found)) && IsEqualCLSID(found, entry.clsid);
}

}  // namespace

ClassRegistration StandinRegistration() { return {kProgId, kClsid, kDescription}; }

std::wstring GuidText(const GUID& guid) {
  wchar_t text[40] = {};
  StringFromGUID2(guid, text, 40);
  return text;
}

HRESULT Register(const ClassRegistration& entry, std::wstring_view exePath) {
  if (const HRESULT hr = WriteUnder(HKEY_CURRENT_USER, entry, exePath); FAILED(hr)) return hr;
  if (Resolves(entry)) return S_OK;
  if (const HRESULT hr = WriteUnder(HKEY_LOCAL_MACHINE, entry, exePath); FAILED(hr)) return hr;
  return Resolves(entry) ? S_OK : REGDB_E_WRITEREGDB;
}

HRESULT Unregister(const ClassRegistration& entry) {
  const HRESULT user = RemoveUnder(HKEY_CURRENT_USER, entry);
  const HRESULT machine = RemoveUnder(HKEY_LOCAL_MACHINE, entry);
  return FAILED(user) ? user : machine;
}

}  // namespace quarnel::standin::server
