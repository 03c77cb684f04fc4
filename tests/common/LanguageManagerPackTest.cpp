// The shipped language pack's files, read raw from the staged tree the build
// zips: every language folder has every text with the placeholders and markup
// of the English original, and every settings file has the format its
// reader needs.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "TestUtil.h"
#include "common/SysInfo.h"

namespace {

const wchar_t* const kFolders[] = {
    L"English", L"Chinese", L"ChineseTW", L"Dutch",   L"French",     L"Korean",
    L"German",  L"Italian", L"Japanese",  L"Spanish", L"Portuguese", L"Indonesian",
    L"Arabic",  L"Thai",    L"Polish",    L"Swedish", L"Malaysian",
};

// Each shipped text and the placeholders its English original carries.
const std::map<std::wstring, std::vector<std::wstring>>& ExpectedTexts() {
  static const std::map<std::wstring, std::vector<std::wstring>> s_mapTexts = {
      {L"STR_INSTALL", {}},
      {L"STR_BROWSE", {}},
      {L"STR_LISENCE", {L"{c COLOR}", L"BRAND", L"{/c}"}},
      {L"STR_CUSTOMIZE_INSTALL", {}},
      {L"STR_INSTALL_PATH", {}},
      {L"STR_SELECT_FOLDER", {}},
      {L"STR_STORAGE", {}},
      {L"STR_PATH_INVALID", {}},
      {L"STR_INSTALLING", {}},
      {L"STR_HIDE", {}},
      {L"STR_MESSAGEBOX_TITLE", {L"PRODUCT"}},
      {L"STR_NETWORK_ERROR", {}},
      {L"STR_OPERATE_TIP", {}},
      {L"STR_SOFT_RUN", {L"PRODUCT"}},
      {L"STR_CLOSE_TIP1", {}},
      {L"STR_CLOSE_TIP2", {}},
      {L"STR_START", {}},
  };
  return s_mapTexts;
}

const std::set<std::wstring> kFoldersWithOwnUnit = {L"Arabic", L"Indonesian", L"Malaysian"};

std::wstring StagedPack() {
  return testutil::BinaryDir() + L"\\resources\\lang\\";
}

size_t CountOf(const std::wstring& strText, const std::wstring& strPart) {
  size_t nCount = 0;
  for (size_t nPos = strText.find(strPart); nPos != std::wstring::npos;
       nPos = strText.find(strPart, nPos + strPart.size()))
    ++nCount;
  return nCount;
}

bool StartsWithUtf16Bom(const std::wstring& strPath) {
  std::string strBytes;
  return testutil::ReadFileBytes(strPath, strBytes) && strBytes.size() > 2 &&
         strBytes.compare(0, 2, "\xFF\xFE") == 0;
}

}  // namespace

TEST(LanguagePackFiles, EveryFolderHasEveryTextWithItsPlaceholders) {
  for (const wchar_t* pszFolder : kFolders) {
    SCOPED_TRACE(pszFolder);
    const std::wstring strFile = StagedPack() + pszFolder + L"\\text.ini";
    EXPECT_TRUE(StartsWithUtf16Bom(strFile));
    std::map<std::wstring, std::wstring> mapTexts;
    ReadIniSection(strFile, L"LANSTR", mapTexts);

    for (const auto& expected : ExpectedTexts()) {
      SCOPED_TRACE(expected.first);
      auto it = mapTexts.find(expected.first);
      ASSERT_NE(it, mapTexts.end());
      const std::wstring& strText = it->second;
      EXPECT_FALSE(strText.empty());
      const std::vector<std::wstring>& placeholders = expected.second;
      for (const wchar_t* pszWord : {L"PRODUCT", L"BRAND", L"COLOR"}) {
        size_t nWanted = 0;
        for (const auto& strPart : placeholders) nWanted += CountOf(strPart, pszWord);
        EXPECT_EQ(CountOf(strText, pszWord), nWanted) << pszWord;
      }
      for (const auto& strPart : placeholders) EXPECT_EQ(CountOf(strText, strPart), 1u) << strPart;
      if (expected.first == L"STR_LISENCE") {
        // The coloured part is one markup span around the brand.
        size_t nOpen = strText.find(L"{c COLOR}");
        size_t nBrand = strText.find(L"BRAND");
        size_t nClose = strText.find(L"{/c}");
        EXPECT_TRUE(nOpen < nBrand && nBrand < nClose) << strText.c_str();
        EXPECT_EQ(CountOf(strText, L"{"), 2u);
        EXPECT_EQ(CountOf(strText, L"}"), 2u);
      }
    }
    // Two-word labels keep their words together with a no-break space.
    EXPECT_EQ(mapTexts[L"STR_START"].find(L' '), std::wstring::npos);

    bool bOwnUnit = kFoldersWithOwnUnit.count(pszFolder) != 0;
    EXPECT_EQ(mapTexts.count(L"STR_MB") != 0, bOwnUnit);
    if (bOwnUnit) {
      EXPECT_FALSE(mapTexts[L"STR_MB"].empty());
    }
    // Nothing beyond the known keys: a misspelt key would silently fall back.
    EXPECT_EQ(mapTexts.size(), ExpectedTexts().size() + (bOwnUnit ? 1 : 0));
  }
}

TEST(LanguagePackFiles, EveryFolderHasItsAddressesWithTheBuildsHosts) {
  for (const wchar_t* pszFolder : kFolders) {
    SCOPED_TRACE(pszFolder);
    const std::wstring strFile = StagedPack() + pszFolder + L"\\UrlInfo.ini";
    EXPECT_TRUE(StartsWithUtf16Bom(strFile));
    std::map<std::wstring, std::wstring> mapUrls;
    ReadIniSection(strFile, L"URL", mapUrls);
    ASSERT_EQ(mapUrls.size(), 4u);
    const std::wstring strLang = pszFolder;
    const std::pair<const wchar_t*, std::wstring> kShapes[] = {
        {L"STR_DOWN_URL", L"/pathwick/velmora-pathwick.exe"},
        {L"STR_DOWN_URL_X64", L"/pathwick/velmora-pathwick.exe"},
        {L"STR_LICENCE_URL", L"/producturl?key=license_agreement&pid=1104&lang=" + strLang},
        {L"STR_INSTALL_URL", L"/producturl?key=installed&pid=1104&lang=" + strLang},
    };
    for (const auto& shape : kShapes) {
      const std::wstring& strUrl = mapUrls[shape.first];
      SCOPED_TRACE(strUrl.c_str());
      ASSERT_GT(strUrl.size(), 8 + shape.second.size());
      EXPECT_EQ(strUrl.compare(0, 8, L"https://"), 0);
      EXPECT_EQ(
          strUrl.compare(strUrl.size() - shape.second.size(), std::wstring::npos, shape.second), 0);
      // The configure step filled the host in.
      EXPECT_EQ(strUrl.find(L'@'), std::wstring::npos);
      EXPECT_EQ(strUrl.find(L'/', 8), strUrl.size() - shape.second.size());
    }
  }
}

TEST(LanguagePackFiles, LanguageListAndProductSettings) {
  std::map<std::wstring, std::wstring> mapLanguages;
  ReadIniSection(StagedPack() + L"language.ini", L"Language", mapLanguages);
  std::set<std::wstring> folders;
  for (const auto& entry : mapLanguages) folders.insert(entry.second);
  EXPECT_EQ(mapLanguages.size(), 17u);
  EXPECT_EQ(folders, std::set<std::wstring>(std::begin(kFolders), std::end(kFolders)));
  for (const wchar_t* pszFolder : kFolders)
    EXPECT_TRUE(testutil::PathExists(StagedPack() + pszFolder)) << pszFolder;

  EXPECT_TRUE(StartsWithUtf16Bom(StagedPack() + L"productInfo.ini"));
  std::map<std::wstring, std::wstring> mapProduct;
  ReadIniSection(StagedPack() + L"productInfo.ini", L"PRODUCT", mapProduct);
  const std::map<std::wstring, std::wstring> kShipped = {
      {L"STR_GA_TTTLE", L"Velmora Pathwick"}, {L"STR_PRODUCT_NAME", L"Velmora Pathwick"},
      {L"STR_DIR1_NAME", L"Velmora"},         {L"STR_DIR2_NAME", L"Velmora Pathwick"},
      {L"STR_EXE_NAME", L"Pathwick.exe"},     {L"STR_LISENCE_COLOR", L"#337BDD"},
      {L"STR_BRAND_NAME", L"Velmora"},        {L"STR_RUN_AS_ADMIN", L"1"},
  };
  EXPECT_EQ(mapProduct, kShipped);
}

TEST(LanguagePackFiles, EveryFolderHasThreeSmallBannerPictures) {
  size_t nTotalBytes = 0;
  for (const wchar_t* pszFolder : kFolders) {
    for (const wchar_t* pszName : {L"pr_1.png", L"pr_2.png", L"pr_3.png"}) {
      std::string strBytes;
      ASSERT_TRUE(testutil::ReadFileBytes(StagedPack() + pszFolder + L"\\" + pszName, strBytes))
          << pszName;
      nTotalBytes += strBytes.size();
      // PNG signature, then the IHDR chunk with big-endian width and height.
      ASSERT_GT(strBytes.size(), 24u);
      EXPECT_EQ(strBytes.compare(0, 8, "\x89PNG\r\n\x1A\n"), 0);
      auto Be32 = [&](size_t nAt) {
        return (static_cast<unsigned>(static_cast<unsigned char>(strBytes[nAt])) << 24) |
               (static_cast<unsigned>(static_cast<unsigned char>(strBytes[nAt + 1])) << 16) |
               (static_cast<unsigned>(static_cast<unsigned char>(strBytes[nAt + 2])) << 8) |
               static_cast<unsigned>(static_cast<unsigned char>(strBytes[nAt + 3]));
      };
      EXPECT_EQ(Be32(16), 650u);
      EXPECT_EQ(Be32(20), 290u);
    }
  }
  // The pack is embedded in a setup program that users download.
  EXPECT_LT(nTotalBytes, 600u * 1024);
}
