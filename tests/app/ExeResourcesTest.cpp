// The resources every build of the setup exe must carry.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SetupExes.h"
#include "TestUtil.h"
#include "common/ScopedWin.h"

namespace {

bool ResourceBytes(HMODULE hModule, LPCWSTR pszType, LPCWSTR pszName, std::string& strOut) {
  HRSRC hRes = FindResourceW(hModule, pszName, pszType);
  if (!hRes) return false;
  HGLOBAL hData = LoadResource(hModule, hRes);
  const char* p = static_cast<const char*>(LockResource(hData));
  if (!p) return false;
  strOut.assign(p, SizeofResource(hModule, hRes));
  return true;
}

}  // namespace

TEST(ExeResources, ManifestIconVersionArchivesAndDomain) {
  for (const std::wstring& strExe : SetupExes()) {
    SCOPED_TRACE(std::string(strExe.begin(), strExe.end()));
    CLibrary hModule(LoadLibraryExW(strExe.c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    ASSERT_TRUE(hModule.IsValid());
    std::string strBytes;

    ASSERT_TRUE(ResourceBytes(hModule, RT_MANIFEST, MAKEINTRESOURCEW(1), strBytes));
    EXPECT_NE(strBytes.find("level=\"requireAdministrator\""), std::string::npos);
    EXPECT_NE(strBytes.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(strBytes.find("version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(strBytes.find("{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"), std::string::npos);

    EXPECT_TRUE(ResourceBytes(hModule, RT_GROUP_ICON, MAKEINTRESOURCEW(101), strBytes));
    ASSERT_TRUE(ResourceBytes(hModule, RT_VERSION, MAKEINTRESOURCEW(1), strBytes));
    std::wstring strVersion(reinterpret_cast<const wchar_t*>(strBytes.data()), strBytes.size() / 2);
    EXPECT_NE(strVersion.find(L"Translation"), std::wstring::npos);

    ASSERT_TRUE(ResourceBytes(hModule, L"ZIPRES", MAKEINTRESOURCEW(104), strBytes));
    EXPECT_EQ(strBytes.substr(0, 4), "PK\x03\x04");
    ASSERT_TRUE(ResourceBytes(hModule, RT_RCDATA, MAKEINTRESOURCEW(105), strBytes));
    EXPECT_EQ(strBytes.substr(0, 4), "PK\x03\x04");
    ASSERT_TRUE(ResourceBytes(hModule, RT_RCDATA, MAKEINTRESOURCEW(106), strBytes));
    EXPECT_EQ(strBytes, "org_english\r\n");
  }
}
