// quarnel.exe started from a folder that holds a planted oleacc.dll, with Wine told to prefer
// native DLLs: finding Excel through its window needs oleacc, and it must come from System32.

#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/fixture.hpp"

namespace quarnel::e2e {
namespace {

// Sets a variable of the test's environment, which the programs it starts inherit, for a scope.
class EnvironmentSetting {
 public:
  EnvironmentSetting(const wchar_t* name, const wchar_t* value) : name_(name) {
    std::wstring old(1024, L'\0');
    const DWORD length = GetEnvironmentVariableW(name, old.data(), static_cast<DWORD>(old.size()));
    if (length > 0 && length < old.size()) old_ = old.substr(0, length);
    SetEnvironmentVariableW(name, value);
  }
  ~EnvironmentSetting() { SetEnvironmentVariableW(name_, old_.empty() ? nullptr : old_.c_str()); }
  EnvironmentSetting(const EnvironmentSetting&) = delete;
  EnvironmentSetting& operator=(const EnvironmentSetting&) = delete;

 private:
  const wchar_t* name_;
  std::wstring old_;
};

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class DllSearchE2E : public QuarnelE2E {};

TEST_F(DllSearchE2E, APlantedOleaccBesideTheProgramIsNeverLoaded) {
  CreateDirectoryW(folder_.c_str(), nullptr);
  const std::wstring marker = folder_ + L"\\oleacc-loaded.txt";
  ASSERT_TRUE(CopyFileW(WindowsPath(QUARNEL_PLANTED_DLL).c_str(), (folder_ + L"\\oleacc.dll").c_str(), FALSE));
  const EnvironmentSetting preferNative(L"WINEDLLOVERRIDES", L"oleacc=n,b");

  // The override takes effect: a program that loads oleacc by bare name from this folder gets the
  // planted one.
  const std::wstring probe = folder_ + L"\\load_by_name.exe";
  ASSERT_TRUE(CopyFileW(WindowsPath(QUARNEL_LOAD_BY_NAME_EXE).c_str(), probe.c_str(), FALSE));
  Process loader = Process::Start(probe, L"", folder_);
  ASSERT_TRUE(loader.WaitExit(30s));
  EXPECT_EQ(loader.ExitCode(), 0u);
  ASSERT_TRUE(Exists(marker)) << "the planted DLL was not taken even by a bare-name load: the test proves nothing";
  ASSERT_TRUE(DeleteFileW(marker.c_str()));

  // An Excel that only its window can lead to: it has not entered the running object table.
  Quarnel& q = StartQuarnel();
  standins_.reserve(2);
  standins_.push_back(Standin::Launch(L"/LateRegister"));
  Standin& excel = standins_.back();
  ASSERT_TRUE(excel.App());
  excel.Select("A4");

  q.Click(kHideRow);
  ExpectDoneWithoutBox([&] { return excel.RowHidden(4); }, "row 4 hidden through oleacc from System32");
  EXPECT_FALSE(Exists(marker)) << "quarnel.exe loaded the planted oleacc.dll";
}

}  // namespace
}  // namespace quarnel::e2e
