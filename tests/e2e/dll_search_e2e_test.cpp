// quarnel.exe started from a folder that holds a planted oleacc.dll, with Wine told to prefer
// native DLLs: finding Excel through its window needs oleacc, and it must come from System32.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/fixture.hpp"

namespace quarnel::e2e {
namespace {

// Tells Wine to prefer a native oleacc.dll for the named programs, for a scope. This is what
// WINEDLLOVERRIDES=oleacc=n,b says, but Wine reads that variable only from the environment it is
// started in, never from one a Windows program hands its children; the per-program key it reads
// at every program's start says the same.
class PreferNativeOleacc {
 public:
  explicit PreferNativeOleacc(std::vector<std::wstring> programs) : programs_(std::move(programs)) {
    static constexpr wchar_t kOrder[] = L"native,builtin";
    for (const std::wstring& program : programs_)
      RegSetKeyValueW(HKEY_CURRENT_USER, Key(program).c_str(), L"oleacc", REG_SZ, kOrder, sizeof(kOrder));
  }
  ~PreferNativeOleacc() {
    for (const std::wstring& program : programs_)
      RegDeleteKeyValueW(HKEY_CURRENT_USER, Key(program).c_str(), L"oleacc");
  }
  PreferNativeOleacc(const PreferNativeOleacc&) = delete;
  PreferNativeOleacc& operator=(const PreferNativeOleacc&) = delete;

 private:
  static std::wstring Key(const std::wstring& program) {
    return L"Software\\Wine\\AppDefaults\\" + program + L"\\DllOverrides";
  }
  std::vector<std::wstring> programs_;
};

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class DllSearchE2E : public QuarnelE2E {};

TEST_F(DllSearchE2E, APlantedOleaccBesideTheProgramIsNeverLoaded) {
  CreateDirectoryW(folder_.c_str(), nullptr);
  const std::wstring marker = folder_ + L"\\oleacc-loaded.txt";
  ASSERT_TRUE(
      CopyFileW(WindowsPath(QUARNEL_PLANTED_DLL).c_str(), (folder_ + L"\\oleacc.dll").c_str(), FALSE));
  const PreferNativeOleacc preferNative({L"quarnel.exe", L"load_by_name.exe"});

  // The override takes effect: a program that loads oleacc by bare name from this folder gets the
  // planted one.
  const std::wstring probe = folder_ + L"\\load_by_name.exe";
  ASSERT_TRUE(CopyFileW(WindowsPath(QUARNEL_LOAD_BY_NAME_EXE).c_str(), probe.c_str(), FALSE));
  Process loader = Process::Start(probe, L"", folder_);
  ASSERT_TRUE(loader.WaitExit(30s));
  EXPECT_EQ(loader.ExitCode(), 0u);
  ASSERT_TRUE(Exists(marker))
      << "the planted DLL was not taken even by a bare-name load: the test proves nothing";
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
