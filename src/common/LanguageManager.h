#pragma once

#include <map>
#include <string>

// The setup window's one source of user-visible texts, web addresses and
// product settings, read from the unpacked language pack. The window owns one
// instance and fills it on the UI thread (Init, then SetDomain) before any
// worker starts; afterwards every thread only reads it.
class LanguageManager {
 public:
  using CStringTable = std::map<std::wstring, std::wstring>;

  // The setup window's call: the user's display language picks the folder.
  void Init(const std::wstring& strPackFolder);
  // The same with the UI language id given in decimal ("1033"), so a caller
  // that is not the running user's session (tests, tools) chooses the language.
  void Init(const std::wstring& strPackFolder, const std::wstring& strLanguageId);

  void InitCurrentLanguage(const std::wstring& strLanguageId);
  void LoadProductInfo();
  void LoadUrlInfo();
  void LoadText();

  // Lookups never fail: a key a table does not hold gives the empty string.
  std::wstring GetText(const std::wstring& strKey) const;
  std::wstring GetUrl(const std::wstring& strKey) const;
  std::wstring GetProductSetting(const std::wstring& strKey) const;

  std::wstring GetProductName() const;
  std::wstring GetLicenceColor() const;
  std::wstring GetBrandName() const;
  std::wstring GetGATitle() const;
  std::wstring GetExeName() const;
  // "Dir1\Dir2\" below the install folder; empty levels are left out.
  std::wstring GetInstallSubFolder() const;
  std::wstring GetExeRelativePath() const;
  bool IsRunAsAdmin() const;

  std::wstring GetDownloadUrl() const;
  std::wstring GetDownloadUrlEx() const;
  std::wstring GetLicenceUrl() const;
  std::wstring GetInstallUrl() const;
  // Tags addresses of the product-address service (those with "key=") with
  // the build's domain; other addresses come back unchanged.
  std::wstring AppendCustom(const std::wstring& strAddress) const;

  const std::wstring& GetLanguageName() const { return m_strLanguageName; }
  void SetDomain(const std::wstring& strDomain) { m_strDomain = strDomain; }
  const std::wstring& GetDomain() const { return m_strDomain; }
  bool IsRtl() const { return m_bRtl; }
  int GetDownloadRatio() const { return 80; }
  int GetReadFileTimeout() const { return 1500; }

 private:
  std::wstring LanguageFolder() const;

  CStringTable m_mapText;
  CStringTable m_mapUrl;
  CStringTable m_mapProduct;
  std::wstring m_strPackFolder;
  std::wstring m_strLanguageName = L"English";
  std::wstring m_strDomain;
  bool m_bRtl = false;
};
