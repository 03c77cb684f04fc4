// The language manager against the staged pack (the tree the build zips) and
// against small packs written per case.
#include <gtest/gtest.h>

#include "TestUtil.h"
#include "common/LanguageManager.h"
#include "common/SysInfo.h"

namespace {

struct LanguageCase {
  const wchar_t* pszId;
  const wchar_t* pszFolder;
};

const LanguageCase kLanguages[] = {
    {L"1033", L"English"}, {L"2052", L"Chinese"},    {L"1028", L"ChineseTW"},
    {L"1043", L"Dutch"},   {L"1036", L"French"},     {L"1042", L"Korean"},
    {L"1031", L"German"},  {L"1040", L"Italian"},    {L"1041", L"Japanese"},
    {L"3082", L"Spanish"}, {L"2070", L"Portuguese"}, {L"1057", L"Indonesian"},
    {L"1025", L"Arabic"},  {L"1054", L"Thai"},       {L"1045", L"Polish"},
    {L"1053", L"Swedish"}, {L"1086", L"Malaysian"},
};

const wchar_t* const kTextKeys[] = {
    L"STR_INSTALL",
    L"STR_BROWSE",
    L"STR_LISENCE",
    L"STR_CUSTOMIZE_INSTALL",
    L"STR_INSTALL_PATH",
    L"STR_SELECT_FOLDER",
    L"STR_STORAGE",
    L"STR_PATH_INVALID",
    L"STR_INSTALLING",
    L"STR_HIDE",
    L"STR_MESSAGEBOX_TITLE",
    L"STR_NETWORK_ERROR",
    L"STR_OPERATE_TIP",
    L"STR_SOFT_RUN",
    L"STR_CLOSE_TIP1",
    L"STR_CLOSE_TIP2",
    L"STR_START",
    L"STR_MB",
};

const wchar_t* const kPlaceholders[] = {L"PRODUCT", L"COLOR", L"BRAND"};

std::wstring StagedPack() {
  return testutil::BinaryDir() + L"\\resources\\lang\\";
}

bool Contains(const std::wstring& strText, const std::wstring& strPart) {
  return strText.find(strPart) != std::wstring::npos;
}

void WriteUtf16(const std::wstring& strPath, const std::wstring& strText) {
  std::string strBytes = "\xFF\xFE";
  for (wchar_t ch : strText) {
    strBytes.push_back(static_cast<char>(ch & 0xFF));
    strBytes.push_back(static_cast<char>((ch >> 8) & 0xFF));
  }
  ASSERT_TRUE(testutil::WriteFileBytes(strPath, strBytes));
}

// A pack with one language folder "Custom" selected by the id 1033.
class CSmallPack {
 public:
  CSmallPack() {
    WriteUtf16(m_dir / L"language.ini", L"[Language]\r\n1033=Custom\r\n");
    CreateDirectoryW((m_dir / L"Custom").c_str(), nullptr);
  }
  void Product(const std::wstring& strLines) {
    WriteUtf16(m_dir / L"productInfo.ini", L"[PRODUCT]\r\n" + strLines);
  }
  void Texts(const std::wstring& strLines) {
    WriteUtf16(m_dir / L"Custom\\text.ini", L"[LANSTR]\r\n" + strLines);
  }
  void Urls(const std::wstring& strLines) {
    WriteUtf16(m_dir / L"Custom\\UrlInfo.ini", L"[URL]\r\n" + strLines);
  }
  void Load(LanguageManager& manager) const { manager.Init(m_dir.Path() + L"\\", L"1033"); }
  const std::wstring& Path() const { return m_dir.Path(); }

 private:
  testutil::CScratchDir m_dir{L"lang"};
};

}  // namespace

TEST(LanguageManagerShippedPack, EveryLanguageIdPicksItsFolderWithFilledTexts) {
  LanguageManager english;
  english.Init(StagedPack(), L"1033");
  for (const auto& language : kLanguages) {
    SCOPED_TRACE(language.pszFolder);
    LanguageManager manager;
    manager.Init(StagedPack(), language.pszId);
    EXPECT_EQ(manager.GetLanguageName(), language.pszFolder);
    EXPECT_EQ(manager.IsRtl(), std::wstring(language.pszFolder) == L"Arabic");
    for (const wchar_t* pszKey : kTextKeys) {
      SCOPED_TRACE(pszKey);
      std::wstring strText = manager.GetText(pszKey);
      EXPECT_FALSE(strText.empty());
      for (const wchar_t* pszPlaceholder : kPlaceholders)
        EXPECT_FALSE(Contains(strText, pszPlaceholder)) << pszPlaceholder;
    }
    // The folder's own file was read, not the built-in English table.
    if (std::wstring(language.pszFolder) != L"English") {
      EXPECT_NE(manager.GetText(L"STR_INSTALL"), english.GetText(L"STR_INSTALL"));
    }
    EXPECT_TRUE(Contains(manager.GetText(L"STR_LISENCE"), L"{c #337BDD}"));
    EXPECT_TRUE(Contains(manager.GetText(L"STR_MESSAGEBOX_TITLE"), L"Velmora Pathwick"));
    EXPECT_EQ(manager.GetLicenceUrl().substr(0, 8), L"https://");
    EXPECT_TRUE(Contains(
        manager.GetLicenceUrl(),
        std::wstring(L"/producturl?key=license_agreement&pid=1104&lang=") + language.pszFolder));
    EXPECT_TRUE(
        Contains(manager.GetInstallUrl(),
                 std::wstring(L"/producturl?key=installed&pid=1104&lang=") + language.pszFolder));
    EXPECT_TRUE(Contains(manager.GetDownloadUrl(), L"/pathwick/velmora-pathwick.exe"));
    EXPECT_TRUE(manager.GetDownloadUrlEx().empty());
  }
}

TEST(LanguageManagerShippedPack, EnglishTextsAndProductSettings) {
  LanguageManager manager;
  manager.Init(StagedPack(), L"1033");
  EXPECT_EQ(manager.GetText(L"STR_MESSAGEBOX_TITLE"), L"Velmora Pathwick Setup");
  EXPECT_EQ(manager.GetText(L"STR_LISENCE"),
            L"I've read and agreed to {c #337BDD}Velmora License Agreement{/c}");
  EXPECT_EQ(manager.GetText(L"STR_START"), L"Start\u00A0Now");
  EXPECT_EQ(manager.GetText(L"STR_MB"), L"MB");
  EXPECT_EQ(manager.GetText(L"STR_NO_SUCH_KEY"), L"");
  EXPECT_EQ(manager.GetGATitle(), L"Velmora Pathwick");
  EXPECT_EQ(manager.GetExeName(), L"Pathwick.exe");
  EXPECT_EQ(manager.GetInstallSubFolder(), L"Velmora\\Velmora Pathwick\\");
  EXPECT_EQ(manager.GetExeRelativePath(), L"Velmora\\Velmora Pathwick\\Pathwick.exe");
  EXPECT_TRUE(manager.IsRunAsAdmin());
  EXPECT_EQ(manager.GetDownloadRatio(), 80);
  EXPECT_EQ(manager.GetReadFileTimeout(), 1500);
}

TEST(LanguageManagerShippedPack, PlainInitFollowsTheUsersDisplayLanguage) {
  LanguageManager byUser, byId;
  byUser.Init(StagedPack());
  byId.Init(StagedPack(), GetUserUILanguageId());
  EXPECT_EQ(byUser.GetLanguageName(), byId.GetLanguageName());
  EXPECT_EQ(byUser.GetText(L"STR_INSTALL"), byId.GetText(L"STR_INSTALL"));
}

TEST(LanguageManagerShippedPack, LanguageChoiceFollowsExactIdsOnly) {
  const struct {
    const wchar_t* pszId;
    const wchar_t* pszFolder;
    bool bRtl;
  } kCases[] = {
      {L"1025", L"Arabic", true},    // the one right-to-left language
      {L"2057", L"English", false},  // English (United Kingdom) is not listed
      {L"1046", L"English", false},  // neither is Portuguese (Brazil)
      {L"0", L"English", false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.pszId);
    LanguageManager manager;
    manager.Init(StagedPack(), c.pszId);
    EXPECT_EQ(manager.GetLanguageName(), c.pszFolder);
    EXPECT_EQ(manager.IsRtl(), c.bRtl);
  }
}

TEST(LanguageManagerShippedPack, MegabyteUnitIsTheFilesOwnWhereDefined) {
  const struct {
    const wchar_t* pszId;
    const wchar_t* pszUnit;
  } kCases[] = {
      {L"1025", L"\u0645\u064A\u063A\u0627\u0628\u0627\u064A\u062A"},
      {L"1057", L"MB"},
      {L"1086", L"MB"},
      {L"1036", L"MB"},
  };
  for (const auto& c : kCases) {
    LanguageManager manager;
    manager.Init(StagedPack(), c.pszId);
    EXPECT_EQ(manager.GetText(L"STR_MB"), c.pszUnit) << c.pszId;
  }
}

TEST(LanguageManagerShippedPack, DomainTagsOnlyProductServiceAddresses) {
  LanguageManager manager;
  manager.Init(StagedPack(), L"1033");
  const std::wstring strInstall = manager.GetUrl(L"STR_INSTALL_URL");
  const std::wstring strDownload = manager.GetDownloadUrl();
  ASSERT_FALSE(strInstall.empty());
  EXPECT_EQ(manager.GetInstallUrl(), strInstall);

  manager.SetDomain(L"org_english");
  EXPECT_EQ(manager.GetDomain(), L"org_english");
  EXPECT_EQ(manager.GetInstallUrl(), strInstall + L"&custom=org_english");
  EXPECT_EQ(manager.GetLicenceUrl(), manager.GetUrl(L"STR_LICENCE_URL") + L"&custom=org_english");
  EXPECT_EQ(manager.GetDownloadUrl(), strDownload);
  EXPECT_EQ(manager.AppendCustom(strDownload), strDownload);
  EXPECT_EQ(manager.AppendCustom(L""), L"");
  EXPECT_EQ(manager.AppendCustom(L"https://h/p?KEY=x"), L"https://h/p?KEY=x");
  // The domain is passed as it stands, line feed included.
  manager.SetDomain(L"org\n");
  EXPECT_EQ(manager.AppendCustom(L"https://h/p?key=x"), L"https://h/p?key=x&custom=org\n");
}

TEST(LanguageManagerFallback, FolderMissingFromPackGivesBuiltInEnglish) {
  CSmallPack pack;
  ASSERT_TRUE(CopyFileW((StagedPack() + L"productInfo.ini").c_str(),
                        (pack.Path() + L"\\productInfo.ini").c_str(), FALSE));
  WriteUtf16(pack.Path() + L"\\language.ini", L"[Language]\r\n1033=Klingon\r\n");
  LanguageManager manager;
  pack.Load(manager);
  EXPECT_EQ(manager.GetLanguageName(), L"Klingon");
  EXPECT_FALSE(manager.IsRtl());
  EXPECT_EQ(manager.GetText(L"STR_INSTALL"), L"Install");
  EXPECT_EQ(manager.GetText(L"STR_MESSAGEBOX_TITLE"), L"Velmora Pathwick Setup");
  EXPECT_EQ(manager.GetText(L"STR_STORAGE"), L"Insuficient storage. Storage required:");
  EXPECT_EQ(manager.GetUrl(L"STR_DOWN_URL"), L"");
  EXPECT_EQ(manager.GetDownloadUrl(), L"");
  manager.SetDomain(L"org_english");
  EXPECT_EQ(manager.GetLicenceUrl(), L"");
  EXPECT_EQ(manager.GetInstallUrl(), L"");
}

TEST(LanguageManagerFallback, MissingLanguageListAndProductSettings) {
  testutil::CScratchDir dir(L"lang");
  LanguageManager manager;
  manager.Init(dir.Path(), L"1025");
  EXPECT_EQ(manager.GetLanguageName(), L"English");
  EXPECT_FALSE(manager.IsRtl());
  // No product: its placeholders vanish and the brand falls back to the vendor.
  EXPECT_EQ(manager.GetText(L"STR_MESSAGEBOX_TITLE"), L" Setup");
  EXPECT_EQ(manager.GetText(L"STR_LISENCE"),
            L"I've read and agreed to {c }Norlet License Agreement{/c}");
  EXPECT_EQ(manager.GetInstallSubFolder(), L"");
  EXPECT_EQ(manager.GetExeRelativePath(), L"");
  EXPECT_TRUE(manager.IsRunAsAdmin());
}

TEST(LanguageManagerPlaceholders, PassesRunInKeyOrderWithoutRescanningInsertions) {
  const struct {
    const wchar_t* pszProduct;
    const wchar_t* pszText;
    const wchar_t* pszExpected;
  } kCases[] = {
      {L"Pathwick", L"PRODUCT PRODUCT", L"Pathwick Pathwick"},
      {L"Pathwick", L"PRODUCTS and product", L"PathwickS and product"},
      // The brand pass searches what the product pass inserted...
      {L"BRAND Pro", L"PRODUCT Setup", L"Velmora Pro Setup"},
      {L"COLOR Edition", L"PRODUCT", L"#112233 Edition"},
      // ...but no pass searches its own insertion again.
      {L"PRODUCT PRODUCTION", L"PRODUCT!", L"PRODUCT PRODUCTION!"},
      {L"Pathwick", L"{c COLOR}BRAND{/c}", L"{c #112233}Velmora{/c}"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.pszText);
    CSmallPack pack;
    pack.Product(std::wstring(L"STR_PRODUCT_NAME=") + c.pszProduct +
                 L"\r\nSTR_BRAND_NAME=Velmora\r\nSTR_LISENCE_COLOR=#112233\r\n");
    pack.Texts(std::wstring(L"STR_CUSTOM=") + c.pszText + L"\r\n");
    LanguageManager manager;
    pack.Load(manager);
    EXPECT_EQ(manager.GetText(L"STR_CUSTOM"), c.pszExpected);
  }
}

TEST(LanguageManagerPlaceholders, FileTextsOverrideBuiltInsAndAddKeys) {
  CSmallPack pack;
  pack.Texts(L"STR_INSTALL=Setzen\r\nSTR_MB=Mo\r\nSTR_EXTRA=More\r\n");
  LanguageManager manager;
  pack.Load(manager);
  EXPECT_EQ(manager.GetText(L"STR_INSTALL"), L"Setzen");
  EXPECT_EQ(manager.GetText(L"STR_MB"), L"Mo");
  EXPECT_EQ(manager.GetText(L"STR_EXTRA"), L"More");
  EXPECT_EQ(manager.GetText(L"STR_BROWSE"), L"Browse");
  EXPECT_EQ(manager.GetText(L"str_install"), L"");
}

TEST(LanguageManagerSettings, RunAsAdminIsFalseOnlyForExactZero) {
  const struct {
    const wchar_t* pszLine;
    bool bAdmin;
  } kCases[] = {
      {L"STR_RUN_AS_ADMIN=0", false}, {L"STR_RUN_AS_ADMIN=1", true}, {L"STR_RUN_AS_ADMIN=00", true},
      {L"STR_RUN_AS_ADMIN=O", true},  {L"STR_RUN_AS_ADMIN=", true},  {L"STR_OTHER=0", true},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.pszLine);
    CSmallPack pack;
    pack.Product(std::wstring(c.pszLine) + L"\r\n");
    LanguageManager manager;
    pack.Load(manager);
    EXPECT_EQ(manager.IsRunAsAdmin(), c.bAdmin);
  }
}

TEST(LanguageManagerSettings, SubFolderSkipsEmptyLevels) {
  CSmallPack pack;
  pack.Product(L"STR_DIR2_NAME=Pathwick\r\nSTR_EXE_NAME=P.exe\r\n");
  LanguageManager manager;
  pack.Load(manager);
  EXPECT_EQ(manager.GetInstallSubFolder(), L"Pathwick\\");
  EXPECT_EQ(manager.GetExeRelativePath(), L"Pathwick\\P.exe");
}

TEST(LanguageManagerSettings, DownloadAddressFollowsTheSystemsWordSize) {
  CSmallPack pack;
  pack.Urls(
      L"STR_DOWN_URL=https://h/x86.exe\r\nSTR_DOWN_URL_X64=\r\n"
      L"STR_DOWN_URLEX=https://h/r?key=k\r\n");
  LanguageManager manager;
  pack.Load(manager);
  // An empty 64-bit address is not replaced by the 32-bit one.
  EXPECT_EQ(manager.GetDownloadUrl(), IsWindows64Bit() ? L"" : L"https://h/x86.exe");
  manager.SetDomain(L"d");
  EXPECT_EQ(manager.GetDownloadUrlEx(), L"https://h/r?key=k&custom=d");
}

TEST(LanguageManagerSettings, SecondInitStartsFromEmptyTables) {
  CSmallPack pack;
  pack.Urls(L"STR_DOWN_URLEX=https://h/r\r\n");
  pack.Product(L"STR_EXE_NAME=P.exe\r\n");
  LanguageManager manager;
  pack.Load(manager);
  manager.SetDomain(L"d");
  ASSERT_EQ(manager.GetUrl(L"STR_DOWN_URLEX"), L"https://h/r");
  manager.Init(StagedPack(), L"1033");
  EXPECT_EQ(manager.GetUrl(L"STR_DOWN_URLEX"), L"");
  EXPECT_EQ(manager.GetExeName(), L"Pathwick.exe");
  EXPECT_EQ(manager.GetDomain(), L"");
}
