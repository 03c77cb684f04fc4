// Unpacking the language pack: the embedded archive gives exactly the staged
// pack tree, a second unpack restores it, and archives with folder entries in
// the wrong place, size-0 files or names leading outside behave as the
// setup program needs.
#include <gtest/gtest.h>

#include <map>

#include "TestUtil.h"
#include "ZipBuilder.h"
#include "common/LanguagePack.h"

namespace {

// Relative path -> file bytes, or "<dir>" for a folder.
using TTree = std::map<std::wstring, std::string>;
const char kFolderMark[] = "<dir>";

void ReadTree(const std::wstring& strRoot, const std::wstring& strRelative, TTree& tree) {
  WIN32_FIND_DATAW data;
  std::wstring strFolder = strRelative.empty() ? strRoot : strRoot + L"\\" + strRelative;
  HANDLE hFind = FindFirstFileW((strFolder + L"\\*").c_str(), &data);
  if (hFind == INVALID_HANDLE_VALUE) return;
  do {
    std::wstring strName = data.cFileName;
    if (strName == L"." || strName == L"..") continue;
    std::wstring strChild = strRelative.empty() ? strName : strRelative + L"\\" + strName;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      tree[strChild] = kFolderMark;
      ReadTree(strRoot, strChild, tree);
    } else {
      testutil::ReadFileBytes(strRoot + L"\\" + strChild, tree[strChild]);
    }
  } while (FindNextFileW(hFind, &data));
  FindClose(hFind);
}

TTree ReadTree(const std::wstring& strRoot) {
  TTree tree;
  ReadTree(strRoot, L"", tree);
  return tree;
}

std::wstring StagedPack() {
  return testutil::BinaryDir() + L"\\resources\\lang";
}

void ExpectSameTree(const TTree& expected, const TTree& actual) {
  for (const auto& item : expected) {
    auto it = actual.find(item.first);
    if (it == actual.end()) {
      ADD_FAILURE() << "missing " << std::string(item.first.begin(), item.first.end());
      continue;
    }
    EXPECT_TRUE(it->second == item.second)
        << "differs: " << std::string(item.first.begin(), item.first.end());
  }
  for (const auto& item : actual)
    EXPECT_TRUE(expected.count(item.first))
        << "extra: " << std::string(item.first.begin(), item.first.end());
}

bool Unpack(const std::string& strZip, const std::wstring& strFolder) {
  return UnpackArchiveToFolder(strZip.data(), static_cast<DWORD>(strZip.size()), strFolder);
}

TEST(LanguagePackUnpackTest, EmbeddedPackGivesTheStagedTreeByteForByte) {
  TTree staged = ReadTree(StagedPack());
  ASSERT_TRUE(staged.count(L"language.ini"));
  testutil::CScratchDir work(L"pack");
  // The working folder's parents are created too.
  std::wstring strWork = work / L"a\\b\\";
  ASSERT_TRUE(LoadResZipFile(strWork));
  EXPECT_EQ(strWork + L"language\\", LanguagePackFolder(strWork));
  ExpectSameTree(staged, ReadTree(strWork + L"language"));
}

TEST(LanguagePackUnpackTest, SecondUnpackRestoresChangedFilesAndKeepsAddedOnes) {
  testutil::CScratchDir work(L"pack");
  ASSERT_TRUE(LoadResZipFile(work.Path()));
  std::wstring strPack = LanguagePackFolder(work.Path());
  TTree first = ReadTree(strPack);
  ASSERT_TRUE(testutil::WriteFileBytes(strPack + L"language.ini", "changed"));
  std::wstring strDeleted;
  for (const auto& item : first) {
    if (item.second != kFolderMark && item.first != L"language.ini") {
      strDeleted = item.first;
      break;
    }
  }
  if (!strDeleted.empty()) DeleteFileW((strPack + strDeleted).c_str());
  ASSERT_TRUE(testutil::WriteFileBytes(strPack + L"added.txt", "mine"));

  ASSERT_TRUE(LoadResZipFile(work.Path()));
  TTree second = ReadTree(strPack);
  ASSERT_EQ(1u, second.erase(L"added.txt"));
  ExpectSameTree(first, second);
  std::string strAdded;
  ASSERT_TRUE(testutil::ReadFileBytes(strPack + L"added.txt", strAdded));
  EXPECT_EQ("mine", strAdded);
}

TEST(LanguagePackUnpackTest, FilesBeforeTheirFolderEntryStayUnwritten) {
  testutil::CScratchDir dir(L"pack");
  std::string strZip = testutil::BuildZip({
      testutil::ZipFile("French/text.ini", "early"),
      testutil::ZipFolder("French/"),
      testutil::ZipFile("French/UrlInfo.ini", "late"),
      testutil::ZipFile("NoFolder/a.txt", "orphan", true),
      testutil::ZipFile("top.ini", "top", true),
  });
  EXPECT_FALSE(Unpack(strZip, dir.Path()));
  TTree expected = {
      {L"French", kFolderMark}, {L"French\\UrlInfo.ini", "late"}, {L"top.ini", "top"}};
  ExpectSameTree(expected, ReadTree(dir.Path()));
}

TEST(LanguagePackUnpackTest, SizeZeroEntriesAreFolders) {
  testutil::CScratchDir dir(L"pack");
  std::string strZip = testutil::BuildZip({
      testutil::ZipFile("Plain", ""),
      testutil::ZipFile("Plain/inside.txt", "x"),
      testutil::ZipFolder("Slashed/"),
      testutil::ZipFile("Deflated", "", true),
  });
  EXPECT_TRUE(Unpack(strZip, dir.Path()));
  TTree expected = {{L"Plain", kFolderMark},
                    {L"Plain\\inside.txt", "x"},
                    {L"Slashed", kFolderMark},
                    {L"Deflated", kFolderMark}};
  ExpectSameTree(expected, ReadTree(dir.Path()));
}

TEST(LanguagePackUnpackTest, NamesLeadingOutsideTheFolderAreSkipped) {
  testutil::CScratchDir dir(L"pack");
  std::wstring strInner = dir / L"inner";
  std::string strZip = testutil::BuildZip({
      testutil::ZipFile("../escaped.txt", "no"),
      testutil::ZipFile("sub/../../escaped2.txt", "no"),
      testutil::ZipFile("..\\escaped3.txt", "no"),
      testutil::ZipFile("/rooted.txt", "no"),
      testutil::ZipFile("C:/drive.txt", "no"),
      testutil::ZipFile("file.txt:stream", "no"),
      testutil::ZipFile("ok.txt", "yes"),
  });
  EXPECT_FALSE(Unpack(strZip, strInner));
  TTree expected = {{L"inner", kFolderMark}, {L"inner\\ok.txt", "yes"}};
  ExpectSameTree(expected, ReadTree(dir.Path()));
}

TEST(LanguagePackUnpackTest, DamagedEntriesAreNotWritten) {
  testutil::CScratchDir dir(L"pack");
  testutil::TZipLayout layout;
  std::string strZip =
      testutil::BuildZip({testutil::ZipFile("bad.txt", "content that will not match its CRC"),
                          testutil::ZipFile("good.txt", "fine", true)},
                         "", &layout);
  strZip[layout.local[1] - 1] ^= 1;
  EXPECT_FALSE(Unpack(strZip, dir.Path()));
  TTree expected = {{L"good.txt", "fine"}};
  ExpectSameTree(expected, ReadTree(dir.Path()));

  // An archive that cannot be opened leaves only the destination folder.
  testutil::CScratchDir other(L"pack");
  EXPECT_FALSE(Unpack(strZip.substr(0, strZip.size() - 1), other / L"dest"));
  EXPECT_EQ(FILE_ATTRIBUTE_DIRECTORY, GetFileAttributesW((other / L"dest").c_str()));
  EXPECT_TRUE(ReadTree(other / L"dest").empty());
}

}  // namespace
