// The zip reader against archives written by other tools and by hand: entry
// records, look-up by name, unpacking in one piece and in many, and the three
// kinds of source.
#include <gtest/gtest.h>

#include "TestUtil.h"
#include "ZipBuilder.h"
#include "ZipTestUtil.h"

using namespace SkinUI;

namespace {

std::wstring FixturePath(const std::wstring& strName) {
  return testutil::HostPath(NORLET_ZIP_FIXTURES) + L"\\" + strName;
}

std::string ReadFixture(const std::wstring& strName) {
  std::string strData;
  EXPECT_TRUE(testutil::ReadFileBytes(FixturePath(strName), strData)) << strName.c_str();
  return strData;
}

std::wstring Slashes(std::wstring strName) {
  for (wchar_t& ch : strName)
    if (ch == L'/') ch = L'\\';
  return strName;
}

ULONGLONG Ticks(const FILETIME& ft) {
  return (static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

ULONGLONG UnixTicks(LONGLONG llSeconds) {
  return (llSeconds + 11644473600LL) * 10000000ULL;
}

// Local wall-clock time as the UTC file time the reader should report for a DOS time.
ULONGLONG LocalTicks(WORD wYear, WORD wMonth, WORD wDay, WORD wHour, WORD wMinute, WORD wSecond) {
  SYSTEMTIME st = {wYear, wMonth, 0, wDay, wHour, wMinute, wSecond, 0};
  FILETIME ftLocal, ftUtc;
  SystemTimeToFileTime(&st, &ftLocal);
  LocalFileTimeToFileTime(&ftLocal, &ftUtc);
  return Ticks(ftUtc);
}

struct TFixture {
  const wchar_t* pszArchive;
  const wchar_t* pszSourceFolder;  // what the archive holds, as files
  int nEntries;
};

const TFixture kFixtures[] = {
    {L"python_stored.zip", L"expected", 6},
    {L"python_deflated.zip", L"expected", 6},
    {L"cmake.zip", L"cmake_src", 7},
};

// Every entry of the archive matches the folder it was made from.
void CheckArchiveAgainstFolder(CArchiveReader* pReader, const TFixture& fixture) {
  TArchiveEntry count;
  ASSERT_EQ(kZipResult_Ok, ArchiveEntryAt(pReader, -1, &count));
  ASSERT_EQ(fixture.nEntries, count.nIndex);
  EXPECT_EQ(0u, count.dwUnpackedSize);
  EXPECT_EQ(L'\0', count.szName[0]);
  for (int i = 0; i < count.nIndex; ++i) {
    TArchiveEntry entry;
    ASSERT_EQ(kZipResult_Ok, ArchiveEntryAt(pReader, i, &entry));
    EXPECT_EQ(i, entry.nIndex);
    std::wstring strName = entry.szName;
    std::wstring strPath = FixturePath(fixture.pszSourceFolder) + L"\\" + Slashes(strName);
    SCOPED_TRACE(testing::Message() << fixture.pszArchive << " " << strName.c_str());
    if (strName.back() == L'/') {
      EXPECT_TRUE(entry.dwAttributes & FILE_ATTRIBUTE_DIRECTORY);
      EXPECT_EQ(0u, entry.dwUnpackedSize);
      EXPECT_EQ(FILE_ATTRIBUTE_DIRECTORY, GetFileAttributesW(strPath.c_str()));
      continue;
    }
    EXPECT_FALSE(entry.dwAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY));
    std::string strExpected;
    ASSERT_TRUE(testutil::ReadFileBytes(strPath, strExpected));
    ASSERT_EQ(strExpected.size(), entry.dwUnpackedSize);
    TUnpacked whole = UnpackWhole(pReader, i, entry.dwUnpackedSize);
    if (entry.dwUnpackedSize == 0) {
      EXPECT_EQ(kZipResult_Ok, whole.dwResult);
      continue;
    }
    ASSERT_EQ(kZipResult_More, whole.dwResult);
    EXPECT_TRUE(whole.strData == strExpected);
    // The entry stays open after a full buffer; the next call ends it.
    EXPECT_EQ(kZipResult_Ok, ExtractArchiveEntry(pReader, i, nullptr, 0, kArchiveKind_Memory));
  }
}

TEST(ZipReaderTest, ReadsArchivesOfOtherToolsFromMemoryPathAndHandle) {
  for (const TFixture& fixture : kFixtures) {
    std::string strBytes = ReadFixture(fixture.pszArchive);
    ASSERT_FALSE(strBytes.empty());
    {
      CGuardedBuffer bytes(strBytes);
      CArchiveReaderPtr pReader(OpenArchiveReader(bytes.Data(), bytes.Size(), kArchiveKind_Memory));
      ASSERT_TRUE(pReader) << LastArchiveResult();
      CheckArchiveAgainstFolder(pReader.get(), fixture);
    }
    std::wstring strPath = FixturePath(fixture.pszArchive);
    {
      CArchiveReaderPtr pReader(OpenArchiveReader(strPath.c_str(), 0, kArchiveKind_Path));
      ASSERT_TRUE(pReader) << LastArchiveResult();
      CheckArchiveAgainstFolder(pReader.get(), fixture);
    }
    {
      HANDLE hFile = CreateFileW(strPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
      ASSERT_NE(INVALID_HANDLE_VALUE, hFile);
      CArchiveReaderPtr pReader(OpenArchiveReader(hFile, 0, kArchiveKind_Handle));
      // The reader holds its own duplicate of the handle.
      CloseHandle(hFile);
      ASSERT_TRUE(pReader) << LastArchiveResult();
      CheckArchiveAgainstFolder(pReader.get(), fixture);
    }
  }
}

TEST(ZipReaderTest, UnpacksInPiecesAndRestartsAnEntryLeftForAnother) {
  std::string strBytes = ReadFixture(L"python_deflated.zip");
  std::string strNoise, strText;
  ASSERT_TRUE(testutil::ReadFileBytes(FixturePath(L"expected\\dir\\noise.bin"), strNoise));
  ASSERT_TRUE(testutil::ReadFileBytes(FixturePath(L"expected\\dir\\text.txt"), strText));
  CArchiveReaderPtr pReader(
      OpenArchiveReader(strBytes.data(), static_cast<DWORD>(strBytes.size()), kArchiveKind_Memory));
  ASSERT_TRUE(pReader);
  int nNoise = -1, nText = -1;
  ASSERT_EQ(kZipResult_Ok,
            FindArchiveEntry(pReader.get(), L"dir/noise.bin", false, &nNoise, nullptr));
  ASSERT_EQ(kZipResult_Ok,
            FindArchiveEntry(pReader.get(), L"dir/text.txt", false, &nText, nullptr));

  for (DWORD dwChunk : {1u, 1000u, 16384u, 16385u, 70000u, 100000u}) {
    TUnpacked pieces = UnpackInPieces(pReader.get(), nNoise, 70000, dwChunk);
    EXPECT_TRUE(pieces.bEnded);
    EXPECT_EQ(kZipResult_Ok, pieces.dwResult) << dwChunk;
    EXPECT_TRUE(pieces.strData == strNoise) << dwChunk;
  }

  char szHead[10];
  ASSERT_EQ(kZipResult_More,
            ExtractArchiveEntry(pReader.get(), nText, szHead, 10, kArchiveKind_Memory));
  TUnpacked noise = UnpackWhole(pReader.get(), nNoise, 70000);
  EXPECT_TRUE(noise.strData == strNoise);
  TUnpacked text = UnpackInPieces(pReader.get(), nText, static_cast<DWORD>(strText.size()), 4096);
  EXPECT_EQ(kZipResult_Ok, text.dwResult);
  EXPECT_TRUE(text.strData == strText);
}

TEST(ZipReaderTest, FindsNamesWithBackslashesAndAsciiCaseFolding) {
  std::string strBytes = ReadFixture(L"cmake.zip");
  CArchiveReaderPtr pReader(
      OpenArchiveReader(strBytes.data(), static_cast<DWORD>(strBytes.size()), kArchiveKind_Memory));
  ASSERT_TRUE(pReader);
  struct {
    const wchar_t* pszName;
    bool bIgnoreCase;
    const wchar_t* pszFound;  // null: not found
  } cases[] = {
      {L"Img/Logo.PNG", false, L"Img/Logo.PNG"},
      {L"Img\\Logo.PNG", false, L"Img/Logo.PNG"},
      {L"IMG\\LOGO.PNG", true, L"Img/Logo.PNG"},
      {L"img/logo.png", true, L"Img/Logo.PNG"},
      {L"img/logo.png", false, nullptr},
      {L"Img", false, nullptr},
      {L"Img/", false, L"Img/"},
      {L"Img/Logo.PN", true, nullptr},
      {L"", false, nullptr},
  };
  for (const auto& c : cases) {
    int nIndex = 42;
    TArchiveEntry entry;
    DWORD dwResult = FindArchiveEntry(pReader.get(), c.pszName, c.bIgnoreCase, &nIndex, &entry);
    if (!c.pszFound) {
      EXPECT_EQ(kZipResult_NotFound, dwResult) << c.pszName;
      EXPECT_EQ(-1, nIndex);
      continue;
    }
    ASSERT_EQ(kZipResult_Ok, dwResult) << c.pszName;
    EXPECT_STREQ(c.pszFound, entry.szName);
    EXPECT_EQ(nIndex, entry.nIndex);
  }
  int nIndex = 0;
  EXPECT_EQ(kZipResult_BadArgument, FindArchiveEntry(pReader.get(), std::wstring(256, L'a').c_str(),
                                                     false, &nIndex, nullptr));
  EXPECT_EQ(-1, nIndex);
  EXPECT_EQ(kZipResult_BadArgument, LastArchiveResult());
}

TEST(ZipReaderTest, CaseFoldingLeavesNonAsciiLettersAlone) {
  if (GetACP() != 1252) GTEST_SKIP() << "needs the Western ANSI code page";
  std::string strZip = testutil::BuildZip({testutil::ZipFile("caf\xE9.txt", "x")});
  CArchiveReaderPtr pReader(
      OpenArchiveReader(strZip.data(), static_cast<DWORD>(strZip.size()), kArchiveKind_Memory));
  ASSERT_TRUE(pReader);
  int nIndex = -1;
  EXPECT_EQ(kZipResult_Ok,
            FindArchiveEntry(pReader.get(), L"CAF\u00E9.TXT", true, &nIndex, nullptr));
  EXPECT_EQ(kZipResult_NotFound,
            FindArchiveEntry(pReader.get(), L"CAF\u00C9.TXT", true, &nIndex, nullptr));
  TArchiveEntry entry;
  ASSERT_EQ(kZipResult_Ok, ArchiveEntryAt(pReader.get(), 0, &entry));
  EXPECT_STREQ(L"caf\u00E9.txt", entry.szName);
}

std::string TimestampExtra(BYTE byFlags, const std::vector<LONG>& times, WORD wDeclared = 0) {
  std::string strExtra;
  testutil::AppendLe16(strExtra, 0x5455);
  testutil::AppendLe16(strExtra, wDeclared ? wDeclared : static_cast<WORD>(1 + 4 * times.size()));
  strExtra.push_back(static_cast<char>(byFlags));
  for (LONG nTime : times) testutil::AppendLe32(strExtra, static_cast<DWORD>(nTime));
  return strExtra;
}

TEST(ZipReaderTest, TimesComeFromTheDosFieldsUnlessTheExtendedTimestampHasThem) {
  std::string strExtraField;  // an unrelated field first
  testutil::AppendLe16(strExtraField, 0x7875);
  testutil::AppendLe16(strExtraField, 3);
  strExtraField += "abc";
  std::vector<testutil::TZipItem> items(5, testutil::ZipFile("f", "data"));
  items[0].strName = "dos";
  items[1].strName = "all";
  items[1].strExtra = strExtraField + TimestampExtra(7, {1000000000, 1100000000, 1200000000});
  items[2].strName = "mtime";
  items[2].strExtra = TimestampExtra(7, {1500000000});  // flags name three, the field holds one
  items[3].strName = "access";
  items[3].strExtra = TimestampExtra(2, {1600000000});
  items[4].strName = "cut";
  items[4].strExtra = TimestampExtra(1, {1700000000}, 40);  // the field claims more than there is
  std::string strZip = testutil::BuildZip(items);
  CArchiveReaderPtr pReader(
      OpenArchiveReader(strZip.data(), static_cast<DWORD>(strZip.size()), kArchiveKind_Memory));
  ASSERT_TRUE(pReader);

  ULONGLONG ullDos = LocalTicks(2018, 5, 17, 10, 0, 0);
  struct {
    ULONGLONG ullModified, ullAccess, ullCreation;
  } expected[] = {
      {ullDos, ullDos, ullDos},
      {UnixTicks(1000000000), UnixTicks(1100000000), UnixTicks(1200000000)},
      {UnixTicks(1500000000), ullDos, ullDos},
      {ullDos, UnixTicks(1600000000), ullDos},
      {ullDos, ullDos, ullDos},
  };
  for (int i = 0; i < 5; ++i) {
    TArchiveEntry entry;
    ASSERT_EQ(kZipResult_Ok, ArchiveEntryAt(pReader.get(), i, &entry));
    EXPECT_EQ(expected[i].ullModified, Ticks(entry.ftModified)) << i;
    EXPECT_EQ(expected[i].ullAccess, Ticks(entry.ftAccess)) << i;
    EXPECT_EQ(expected[i].ullCreation, Ticks(entry.ftCreation)) << i;
  }
}

TEST(ZipReaderTest, TimesOfOtherToolsArchives) {
  std::string strCmake = ReadFixture(L"cmake.zip"), strPython = ReadFixture(L"python_stored.zip");
  CArchiveReaderPtr pCmake(
      OpenArchiveReader(strCmake.data(), static_cast<DWORD>(strCmake.size()), kArchiveKind_Memory));
  CArchiveReaderPtr pPython(OpenArchiveReader(
      strPython.data(), static_cast<DWORD>(strPython.size()), kArchiveKind_Memory));
  ASSERT_TRUE(pCmake && pPython);
  TArchiveEntry entry;
  // CMake writes 2026-01-01 00:00 UTC into its "UT" field.
  ASSERT_EQ(kZipResult_Ok, FindArchiveEntry(pCmake.get(), L"dir/text.txt", false, nullptr, &entry));
  EXPECT_EQ(UnixTicks(1767225600), Ticks(entry.ftModified));
  // Python's zipfile writes only the DOS fields.
  ASSERT_EQ(kZipResult_Ok,
            FindArchiveEntry(pPython.get(), L"dir/text.txt", false, nullptr, &entry));
  EXPECT_EQ(LocalTicks(2020, 5, 17, 10, 20, 30), Ticks(entry.ftModified));
  EXPECT_EQ(Ticks(entry.ftModified), Ticks(entry.ftAccess));
}

TEST(ZipReaderTest, AttributesAsTheArchiveRecordsThem) {
  const DWORD dwDosBits = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                          FILE_ATTRIBUTE_ARCHIVE;
  struct {
    const char* pszName;
    WORD wMadeBy;
    DWORD dwExternal;
    DWORD dwExpected;
  } cases[] = {
      {"dos", 20, dwDosBits | 0x80, dwDosBits},
      {"dosdir", 20, FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_DIRECTORY},
      {"slash/", 20, 0, FILE_ATTRIBUTE_DIRECTORY},
      {"unixfile", 0x314, 0100644u << 16, 0},
      {"unixreadonly", 0x314, 0100444u << 16, FILE_ATTRIBUTE_READONLY},
      {"unixdir", 0x314, (040755u << 16) | FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_DIRECTORY},
      {"unixdirnodos", 0x314, 040755u << 16, FILE_ATTRIBUTE_DIRECTORY},
      // Another host's high bits mean nothing to the reader.
      {"ntfs", 0x0A14, (0100444u << 16) | FILE_ATTRIBUTE_ARCHIVE, FILE_ATTRIBUTE_ARCHIVE},
  };
  std::vector<testutil::TZipItem> items;
  for (const auto& c : cases) {
    testutil::TZipItem item = testutil::ZipFile(c.pszName, "");
    item.wMadeBy = c.wMadeBy;
    item.dwExternal = c.dwExternal;
    items.push_back(item);
  }
  std::string strZip = testutil::BuildZip(items);
  CArchiveReaderPtr pReader(
      OpenArchiveReader(strZip.data(), static_cast<DWORD>(strZip.size()), kArchiveKind_Memory));
  ASSERT_TRUE(pReader);
  for (size_t i = 0; i < items.size(); ++i) {
    TArchiveEntry entry;
    ASSERT_EQ(kZipResult_Ok, ArchiveEntryAt(pReader.get(), static_cast<int>(i), &entry));
    EXPECT_EQ(cases[i].dwExpected, entry.dwAttributes) << cases[i].pszName;
  }
}

TEST(ZipReaderTest, LongNamesAreCutTo259Characters) {
  std::string strLong(300, 'n');
  std::string strZip = testutil::BuildZip({testutil::ZipFile(strLong, "x")});
  CArchiveReaderPtr pReader(
      OpenArchiveReader(strZip.data(), static_cast<DWORD>(strZip.size()), kArchiveKind_Memory));
  ASSERT_TRUE(pReader);
  TArchiveEntry entry;
  ASSERT_EQ(kZipResult_Ok, ArchiveEntryAt(pReader.get(), 0, &entry));
  EXPECT_EQ(std::wstring(259, L'n'), entry.szName);
}

TEST(ZipReaderTest, EmptyArchiveAndEmptyEntries) {
  std::string strEmpty = testutil::BuildZip({});
  ASSERT_EQ(22u, strEmpty.size());
  CArchiveReaderPtr pEmpty(
      OpenArchiveReader(strEmpty.data(), static_cast<DWORD>(strEmpty.size()), kArchiveKind_Memory));
  ASSERT_TRUE(pEmpty);
  TArchiveEntry entry;
  ASSERT_EQ(kZipResult_Ok, ArchiveEntryAt(pEmpty.get(), -1, &entry));
  EXPECT_EQ(0, entry.nIndex);
  EXPECT_EQ(kZipResult_BadArgument, ArchiveEntryAt(pEmpty.get(), 0, &entry));

  // Empty deflated entries: one with a deflate stream, one with no data at all.
  testutil::TZipLayout layout;
  std::string strZip =
      testutil::BuildZip({testutil::ZipFile("stream", "", true), testutil::ZipFile("nodata", ""),
                          testutil::ZipFolder("folder/")},
                         "", &layout);
  testutil::PutLe16(strZip, layout.central[1] + testutil::kCentral_Method, 8);
  CArchiveReaderPtr pReader(
      OpenArchiveReader(strZip.data(), static_cast<DWORD>(strZip.size()), kArchiveKind_Memory));
  ASSERT_TRUE(pReader);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(kZipResult_Ok, ExtractArchiveEntry(pReader.get(), i, nullptr, 0, kArchiveKind_Memory))
        << i;
}

TEST(ZipReaderTest, BadArgumentsAndWrongHandles) {
  std::string strZip = testutil::BuildZip({testutil::ZipFile("a", "abc")});
  EXPECT_EQ(nullptr, OpenArchiveReader(nullptr, 10, kArchiveKind_Memory));
  EXPECT_EQ(kZipResult_BadArgument, LastArchiveResult());
  EXPECT_EQ(nullptr, OpenArchiveReader(strZip.data(), static_cast<DWORD>(strZip.size()), 7));
  EXPECT_EQ(kZipResult_BadArgument, LastArchiveResult());
  EXPECT_EQ(nullptr, OpenArchiveReader(INVALID_HANDLE_VALUE, 0, kArchiveKind_Handle));
  EXPECT_EQ(kZipResult_BadArgument, LastArchiveResult());
  HANDLE hRead = nullptr, hWrite = nullptr;
  ASSERT_TRUE(CreatePipe(&hRead, &hWrite, nullptr, 0));
  EXPECT_EQ(nullptr, OpenArchiveReader(hRead, 0, kArchiveKind_Handle));
  EXPECT_EQ(kZipResult_WrongHandle, LastArchiveResult());
  CloseHandle(hRead);
  CloseHandle(hWrite);
  testutil::CScratchDir dir(L"zip");
  EXPECT_EQ(nullptr, OpenArchiveReader((dir / L"missing.zip").c_str(), 0, kArchiveKind_Path));
  EXPECT_EQ(kZipResult_OpenFailed, LastArchiveResult());

  CArchiveReaderPtr pReader(
      OpenArchiveReader(strZip.data(), static_cast<DWORD>(strZip.size()), kArchiveKind_Memory));
  ASSERT_TRUE(pReader);
  TArchiveEntry entry;
  EXPECT_EQ(kZipResult_BadArgument, ArchiveEntryAt(nullptr, -1, &entry));
  EXPECT_EQ(kZipResult_BadArgument, ArchiveEntryAt(pReader.get(), 1, &entry));
  EXPECT_EQ(kZipResult_BadArgument, ArchiveEntryAt(pReader.get(), -2, &entry));
  EXPECT_EQ(kZipResult_BadArgument, ArchiveEntryAt(pReader.get(), 0, nullptr));
  char szBuffer[3];
  EXPECT_EQ(kZipResult_BadArgument,
            ExtractArchiveEntry(pReader.get(), 1, szBuffer, 3, kArchiveKind_Memory));
  EXPECT_EQ(kZipResult_BadArgument,
            ExtractArchiveEntry(pReader.get(), 0, nullptr, 3, kArchiveKind_Memory));
  EXPECT_EQ(kZipResult_BadArgument, ExtractArchiveEntry(pReader.get(), 0, szBuffer, 3, 9));
  EXPECT_EQ(kZipResult_BadArgument,
            ExtractArchiveEntry(nullptr, 0, szBuffer, 3, kArchiveKind_Memory));
  EXPECT_EQ(kZipResult_BadArgument, CloseArchiveReader(nullptr));
}

TEST(ZipReaderTest, ExtractsToPathsAndHandles) {
  testutil::CScratchDir dir(L"zipout");
  std::string strBig(50000, 'q');
  std::string strZip =
      testutil::BuildZip({testutil::ZipFile("big.txt", strBig, true), testutil::ZipFolder("sub/"),
                          testutil::ZipFile("small.txt", "small")});

  wchar_t szOld[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, szOld);
  ASSERT_TRUE(SetCurrentDirectoryW(dir.Path().c_str()));
  CArchiveReaderPtr pReader(
      OpenArchiveReader(strZip.data(), static_cast<DWORD>(strZip.size()), kArchiveKind_Memory));
  SetCurrentDirectoryW(szOld);
  ASSERT_TRUE(pReader);

  // Relative paths start at the folder that was current when the reader was opened.
  EXPECT_EQ(kZipResult_Ok,
            ExtractArchiveEntry(pReader.get(), 0, (void*)L"big.txt", 0, kArchiveKind_Path));
  EXPECT_EQ(kZipResult_Ok,
            ExtractArchiveEntry(pReader.get(), 1, (void*)L"sub", 0, kArchiveKind_Path));
  std::wstring strSmall = dir / L"sub\\small.txt";
  EXPECT_EQ(kZipResult_Ok,
            ExtractArchiveEntry(pReader.get(), 2, (void*)strSmall.c_str(), 0, kArchiveKind_Path));
  std::string strRead;
  ASSERT_TRUE(testutil::ReadFileBytes(dir / L"big.txt", strRead));
  EXPECT_TRUE(strRead == strBig);
  ASSERT_TRUE(testutil::ReadFileBytes(strSmall, strRead));
  EXPECT_EQ("small", strRead);
  EXPECT_EQ(FILE_ATTRIBUTE_DIRECTORY, GetFileAttributesW((dir / L"sub").c_str()));
  std::wstring strNoFolder = dir / L"missing\\x.txt";
  EXPECT_EQ(kZipResult_OpenFailed, ExtractArchiveEntry(pReader.get(), 2, (void*)strNoFolder.c_str(),
                                                       0, kArchiveKind_Path));

  HANDLE hFile = CreateFileW((dir / L"handle.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                             CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, hFile);
  DWORD dwWritten = 0;
  WriteFile(hFile, "head:", 5, &dwWritten, nullptr);
  EXPECT_EQ(kZipResult_Ok, ExtractArchiveEntry(pReader.get(), 2, hFile, 0, kArchiveKind_Handle));
  CloseHandle(hFile);
  ASSERT_TRUE(testutil::ReadFileBytes(dir / L"handle.txt", strRead));
  EXPECT_EQ("head:small", strRead);
}

}  // namespace
