#pragma once

// Usage reports to the GA4 Measurement Protocol collector. Reports never
// change the course of the installation: their outcome is only logged.
#include <windows.h>

#include <string>

class CGA {
 public:
  // Created on first use (on the UI thread, before any report), never destroyed.
  static CGA* Instance();

  // Written once right after start-up, before any report thread runs.
  void SetCollectUrl(const std::wstring& strUrl) { m_strCollectUrl = strUrl; }
  void SetEventCategory(const std::wstring& strCategory) { m_strEventCategory = strCategory; }

  bool SendStartInstall();
  bool SendDownloaderInstalled();
  bool SendInstalledSucceed();
  // Posts one report; true when a client was created and the request made,
  // whatever its outcome.
  bool SendGACommon(const char* pszEventName);

  // The machine's id under HKLM "SOFTWARE\WOW6432Node\Norlet\NorletDown",
  // value "GUID": reused when well-formed, else created and stored. Empty
  // when the key exists but cannot be opened.
  static std::wstring GetClientId();

 private:
  CGA();

  std::wstring m_strCollectUrl;
  std::wstring m_strEventCategory;
  std::string m_strClientId;
};

// The id text of a GUID: upper-case groups except the third.
std::wstring FormatClientId(const GUID& guid);

// The collector address of this build (host, measurement id and secret are
// build settings).
std::wstring GetGACollectUrl();

enum GASendKind {
  kGASend_StartInstall = 0,
  kGASend_DownloaderInstalled = 1,
  kGASend_InstalledSucceed = 2,
};

// Heap record handed to GASendThread, which frees it.
struct GASendParam {
  bool bResult = false;
  CGA* pInstance = nullptr;
  int nKind = kGASend_StartInstall;
};

DWORD WINAPI GASendThread(LPVOID pParam);
