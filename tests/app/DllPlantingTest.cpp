// A DLL planted beside the program (as in a Downloads folder) must never be
// loaded once start-up has restricted the search path. The test exe's own
// folder plays the Downloads folder; wdc.dll is absent from Wine's system
// folder, so only the application folder could supply it.
#include <gtest/gtest.h>

#include <string>

#include "TestUtil.h"
#include "common/SafeDll.h"

namespace {

std::wstring ExeFolder() {
  wchar_t szPath[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, szPath, MAX_PATH);
  std::wstring strPath = szPath;
  return strPath.substr(0, strPath.rfind(L'\\'));
}

}  // namespace

TEST(DllPlanting, RestrictedSearchPathSkipsTheProgramFolder) {
  std::wstring strPlanted = ExeFolder() + L"\\wdc.dll";
  std::wstring strMarker = ExeFolder() + L"\\planted-dll-loaded.txt";
  ASSERT_TRUE(CopyFileW(testutil::HelperExe(L"planted.dll").c_str(), strPlanted.c_str(), FALSE));
  DeleteFileW(strMarker.c_str());

  // Control: the planted DLL loads from the program folder when asked to.
  HMODULE hControl = LoadLibraryExW(L"wdc.dll", nullptr, LOAD_LIBRARY_SEARCH_APPLICATION_DIR);
  ASSERT_NE(hControl, nullptr);
  FreeLibrary(hControl);
  ASSERT_TRUE(testutil::PathExists(strMarker));
  DeleteFileW(strMarker.c_str());

  RestrictDllSearchPath();
  EXPECT_EQ(LoadLibraryW(L"wdc.dll"), nullptr);
  EXPECT_EQ(LoadLibraryA("wdc.dll"), nullptr);
  EXPECT_EQ(LoadSystemLibrary(L"wdc.dll"), nullptr);
  EXPECT_EQ(GetSystemProcAddress(L"wdc.dll", "WdcRunTaskAsInteractiveUser"), nullptr);
  EXPECT_FALSE(testutil::PathExists(strMarker));
  EXPECT_NE(LoadSystemLibrary(L"version.dll"), nullptr);

  DeleteFileW(strMarker.c_str());
  DeleteFileW(strPlanted.c_str());
}
