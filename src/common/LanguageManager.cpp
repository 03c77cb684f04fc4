#include "common/LanguageManager.h"

#include "common/SysInfo.h"
#include "log/Log.h"

namespace {

// English texts that stand whenever the pack lacks a language file or a key.
const LanguageManager::CStringTable& BuiltInTexts() {
  static const LanguageManager::CStringTable s_mapTexts = {
      {L"STR_INSTALL", L"Install"},
      {L"STR_BROWSE", L"Browse"},
      {L"STR_LISENCE", L"I've read and agreed to {c COLOR}BRAND License Agreement{/c}"},
      {L"STR_CUSTOMIZE_INSTALL", L"Customize Installation"},
      {L"STR_INSTALL_PATH", L"Installation Path"},
      {L"STR_SELECT_FOLDER", L"Select a location to install the program"},
      {L"STR_STORAGE", L"Insuficient storage. Storage required:"},
      {L"STR_PATH_INVALID", L"The installation path is invalid."},
      {L"STR_INSTALLING", L"Installing..."},
      {L"STR_HIDE", L"Hide"},
      {L"STR_MESSAGEBOX_TITLE", L"PRODUCT Setup"},
      {L"STR_NETWORK_ERROR", L"Network error. Please check your network settings."},
      {L"STR_OPERATE_TIP",
       L"Click Abort to cancel installation, Retry to try again, or Ignore to download via "
       L"browser."},
      {L"STR_SOFT_RUN",
       L"PRODUCT is running. Continuing installation will forcely quit the program. Are you sure "
       L"to install?"},
      {L"STR_CLOSE_TIP1", L"Are you sure you want to quit?"},
      {L"STR_CLOSE_TIP2", L"Installation is in progress. Are you sure you want to quit?"},
      {L"STR_START", L"Start\u00A0Now"},
      {L"STR_MB", L"MB"},
  };
  return s_mapTexts;
}

std::wstring Lookup(const LanguageManager::CStringTable& mapTable, const std::wstring& strKey) {
  auto it = mapTable.find(strKey);
  return it == mapTable.end() ? std::wstring() : it->second;
}

// Scans left to right and resumes after each insertion, so a placeholder is
// never looked for inside the text that replaced it.
void ReplaceAll(std::wstring& strText, const std::wstring& strFrom, const std::wstring& strTo) {
  size_t nPos = strText.find(strFrom);
  while (nPos != std::wstring::npos) {
    strText.replace(nPos, strFrom.size(), strTo);
    nPos = strText.find(strFrom, nPos + strTo.size());
  }
}

}  // namespace

void LanguageManager::Init(const std::wstring& strPackFolder) {
  Init(strPackFolder, GetUserUILanguageId());
}

void LanguageManager::Init(const std::wstring& strPackFolder, const std::wstring& strLanguageId) {
  m_strDomain.clear();
  m_bRtl = false;
  m_mapUrl.clear();
  m_mapProduct.clear();
  m_strPackFolder = strPackFolder;
  if (!m_strPackFolder.empty() && m_strPackFolder.back() != L'\\') m_strPackFolder += L'\\';
  InitCurrentLanguage(strLanguageId);
  LoadProductInfo();
  LoadUrlInfo();
  // Last: the placeholders are filled from the product table.
  LoadText();
}

void LanguageManager::InitCurrentLanguage(const std::wstring& strLanguageId) {
  m_strLanguageName = L"English";
  LOGW(LOG_INFO, L"Language Code:%s", strLanguageId.c_str());
  // The pack's own list decides; a name without a folder is accepted and the
  // loaders then fall back to the built-in texts.
  std::wstring strName =
      ReadIniString(m_strPackFolder + L"language.ini", L"Language", strLanguageId);
  if (!strName.empty()) m_strLanguageName = strName;
  m_bRtl = m_strLanguageName == L"Arabic";
}

void LanguageManager::LoadProductInfo() {
  ReadIniSection(m_strPackFolder + L"productInfo.ini", L"PRODUCT", m_mapProduct);
}

void LanguageManager::LoadUrlInfo() {
  ReadIniSection(LanguageFolder() + L"UrlInfo.ini", L"URL", m_mapUrl);
}

void LanguageManager::LoadText() {
  m_mapText = BuiltInTexts();
  ReadIniSection(LanguageFolder() + L"text.ini", L"LANSTR", m_mapText);
  const std::wstring strProduct = GetProductName();
  const std::wstring strColor = GetLicenceColor();
  const std::wstring strBrand = GetBrandName();
  for (auto& entry : m_mapText) {
    ReplaceAll(entry.second, L"PRODUCT", strProduct);
    ReplaceAll(entry.second, L"COLOR", strColor);
    ReplaceAll(entry.second, L"BRAND", strBrand);
  }
}

std::wstring LanguageManager::GetText(const std::wstring& strKey) const {
  return Lookup(m_mapText, strKey);
}

std::wstring LanguageManager::GetUrl(const std::wstring& strKey) const {
  return Lookup(m_mapUrl, strKey);
}

std::wstring LanguageManager::GetProductSetting(const std::wstring& strKey) const {
  return Lookup(m_mapProduct, strKey);
}

std::wstring LanguageManager::GetProductName() const {
  return GetProductSetting(L"STR_PRODUCT_NAME");
}

std::wstring LanguageManager::GetLicenceColor() const {
  return GetProductSetting(L"STR_LISENCE_COLOR");
}

std::wstring LanguageManager::GetBrandName() const {
  std::wstring strBrand = GetProductSetting(L"STR_BRAND_NAME");
  return strBrand.empty() ? L"Norlet" : strBrand;
}

std::wstring LanguageManager::GetGATitle() const {
  return GetProductSetting(L"STR_GA_TTTLE");
}

std::wstring LanguageManager::GetExeName() const {
  return GetProductSetting(L"STR_EXE_NAME");
}

std::wstring LanguageManager::GetInstallSubFolder() const {
  std::wstring strFolder;
  for (const wchar_t* pszKey : {L"STR_DIR1_NAME", L"STR_DIR2_NAME"}) {
    std::wstring strLevel = GetProductSetting(pszKey);
    if (!strLevel.empty()) strFolder += strLevel + L"\\";
  }
  return strFolder;
}

std::wstring LanguageManager::GetExeRelativePath() const {
  return GetInstallSubFolder() + GetExeName();
}

bool LanguageManager::IsRunAsAdmin() const {
  return GetProductSetting(L"STR_RUN_AS_ADMIN") != L"0";
}

std::wstring LanguageManager::GetDownloadUrl() const {
  return GetUrl(IsWindows64Bit() ? L"STR_DOWN_URL_X64" : L"STR_DOWN_URL");
}

std::wstring LanguageManager::GetDownloadUrlEx() const {
  return AppendCustom(GetUrl(L"STR_DOWN_URLEX"));
}

std::wstring LanguageManager::GetLicenceUrl() const {
  return AppendCustom(GetUrl(L"STR_LICENCE_URL"));
}

std::wstring LanguageManager::GetInstallUrl() const {
  return AppendCustom(GetUrl(L"STR_INSTALL_URL"));
}

std::wstring LanguageManager::AppendCustom(const std::wstring& strAddress) const {
  if (strAddress.empty() || m_strDomain.empty()) return strAddress;
  if (strAddress.find(L"key=") == std::wstring::npos) return strAddress;
  return strAddress + L"&custom=" + m_strDomain;
}

std::wstring LanguageManager::LanguageFolder() const {
  return m_strPackFolder + m_strLanguageName + L"\\";
}
