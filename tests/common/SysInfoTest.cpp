#include <gtest/gtest.h>

#include <string>

#include "TestUtil.h"
#include "common/SysInfo.h"

using testutil::CScratchDir;

namespace {

// Writes a UTF-16LE ini file with a BOM, the form the language pack uses.
void WriteUnicodeIni(const std::wstring& strPath, const std::wstring& strText) {
  std::string strBytes = "\xff\xfe";
  strBytes.append(reinterpret_cast<const char*>(strText.data()), strText.size() * 2);
  ASSERT_TRUE(testutil::WriteFileBytes(strPath, strBytes));
}

}  // namespace

TEST(SysInfo, ReadIniSectionLaterLinesWinAndBareKeysAreEmpty) {
  CScratchDir dir(L"ini");
  std::wstring strIni = dir / L"a.ini";
  WriteUnicodeIni(strIni, L"[S]\r\na=1\r\nb\r\na=2\r\nc=x=y\r\n[T]\r\nd=4\r\n");
  std::map<std::wstring, std::wstring> values = {{L"keep", L"me"}, {L"c", L"old"}};
  EXPECT_TRUE(ReadIniSection(strIni, L"S", values));
  std::map<std::wstring, std::wstring> expected = {
      {L"keep", L"me"}, {L"a", L"2"}, {L"b", L""}, {L"c", L"x=y"}};
  EXPECT_EQ(values, expected);
  std::map<std::wstring, std::wstring> none;
  EXPECT_TRUE(ReadIniSection(dir / L"missing.ini", L"S", none));
  EXPECT_TRUE(none.empty());
}

TEST(SysInfo, ReadIniStringCutsAt255) {
  CScratchDir dir(L"ini");
  std::wstring strIni = dir / L"b.ini";
  std::wstring strLong(300, L'v');
  WriteUnicodeIni(strIni, L"[S]\r\nlong=" + strLong + L"\r\nshort=\x0645\x0631\r\n");
  EXPECT_EQ(ReadIniString(strIni, L"S", L"long"), std::wstring(255, L'v'));
  EXPECT_EQ(ReadIniString(strIni, L"S", L"short"), L"\x0645\x0631");
  EXPECT_EQ(ReadIniString(strIni, L"S", L"nope"), L"");
  EXPECT_EQ(ReadIniString(strIni, L"Nope", L"short"), L"");
}

TEST(SysInfo, WorkingFolderNameCutsAtLastDot) {
  EXPECT_EQ(WorkingFolderNameFromPath(L"C:\\dl\\setup.beta.exe"), L"setup.beta");
  EXPECT_EQ(WorkingFolderNameFromPath(L"C:/dl/velmora-pathwick_setup-org.exe"),
            L"velmora-pathwick_setup-org");
  EXPECT_EQ(WorkingFolderNameFromPath(L"noext"), L"noext");

  std::wstring strWorking = GetWorkingFolder();
  std::wstring strProgramFiles = GetProgramFilesFolder();
  ASSERT_GT(strProgramFiles.size(), 3u);
  EXPECT_EQ(strWorking, strProgramFiles + L"norlet_down\\test_common\\");
}

TEST(SysInfo, FreeSpaceSaturatesInsteadOfWrapping) {
  EXPECT_EQ(BytesToMegabytes(0), 0u);
  EXPECT_EQ(BytesToMegabytes((1ull << 20) - 1), 0u);
  EXPECT_EQ(BytesToMegabytes(800ull << 20), 800u);
  EXPECT_EQ(BytesToMegabytes(0xFFFFFFFFull << 20), 0xFFFFFFFFu);
  EXPECT_EQ(BytesToMegabytes(5ull << 50), 0xFFFFFFFFu);  // 5 PiB
  EXPECT_EQ(BytesToMegabytes(~0ull), 0xFFFFFFFFu);

  DWORD dwMegabytes = 12345;
  EXPECT_TRUE(GetFreeDiskSpaceMB(L"C:", dwMegabytes));
  EXPECT_NE(dwMegabytes, 12345u);
  dwMegabytes = 12345;
  EXPECT_FALSE(GetFreeDiskSpaceMB(L"Q:\\no\\such\\drive", dwMegabytes));
  EXPECT_EQ(dwMegabytes, 12345u);
}

TEST(SysInfo, FileExistsOnlyForReadableFiles) {
  CScratchDir dir(L"fe");
  ASSERT_TRUE(testutil::WriteFileBytes(dir / L"f.txt", "x"));
  EXPECT_TRUE(FileExists(dir / L"f.txt"));
  EXPECT_FALSE(FileExists(dir / L"missing.txt"));
  EXPECT_FALSE(FileExists(dir.Path()));
}

TEST(SysInfo, FileVersionNeedsTranslationTable) {
  // The setup exe carries a version block with its translation table.
  std::wstring strSetup = testutil::BinaryDir() + L"\\src\\app\\norlet_setup.exe";
  if (testutil::PathExists(strSetup)) {
    std::wstring strVersion = GetFileVersionString(strSetup);
    EXPECT_EQ(strVersion, L"1.0.0.1");
  }
  // Test helpers have no version resource at all.
  EXPECT_EQ(GetFileVersionString(testutil::HelperExe(L"norlet_sleeper.exe")), L"");
  EXPECT_EQ(GetFileVersionString(L"C:\\no\\such.exe"), L"");
}

TEST(SysInfo, SystemFacts) {
  EXPECT_EQ(GetProgramFilesFolder().back(), L'\\');
  std::wstring strLang = GetUserUILanguageId();
  ASSERT_FALSE(strLang.empty());
  EXPECT_EQ(strLang, std::to_wstring(GetUserDefaultUILanguage()));
  EXPECT_FALSE(GetWindowsProductName().empty());
#ifdef _WIN64
  EXPECT_TRUE(IsWindows64Bit());
#endif
}
