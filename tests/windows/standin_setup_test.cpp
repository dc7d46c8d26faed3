#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/win32/win_headers.hpp"
#include "standin/server/registration.hpp"
#include "standin/server/switches.hpp"

namespace quarnel::standin::server {
namespace {

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

}  // namespace
}  // namespace quarnel::standin::server
