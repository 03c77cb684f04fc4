#include "common/GA.h"

#include <objbase.h>
#include <wchar.h>

#include "common/GAJson.h"
#include "common/ScopedWin.h"
#include "common/TextConv.h"
#include "httpclient/HttpInterface.h"
#include "log/Log.h"

namespace {

const wchar_t kVendorKey[] = L"SOFTWARE\\WOW6432Node\\Norlet";
const wchar_t kClientKey[] = L"SOFTWARE\\WOW6432Node\\Norlet\\NorletDown";
const wchar_t kClientValue[] = L"GUID";
const char kJsonContentType[] = "Content-Type: application/json; charset=utf-8";

// A whole-text match of [a-zA-Z0-9\-]+.
bool IsWellFormedClientId(const std::wstring& strId) {
  if (strId.empty()) return false;
  for (wchar_t ch : strId) {
    bool bOk = (ch >= L'a' && ch <= L'z') || (ch >= L'A' && ch <= L'Z') ||
               (ch >= L'0' && ch <= L'9') || ch == L'-';
    if (!bOk) return false;
  }
  return true;
}

bool ReadStoredClientId(HKEY hKey, std::wstring& strId) {
  wchar_t szValue[1024] = {};
  DWORD dwType = 0;
  DWORD dwSize = sizeof(szValue) - sizeof(wchar_t);
  if (RegQueryValueExW(hKey, kClientValue, nullptr, &dwType, reinterpret_cast<BYTE*>(szValue),
                       &dwSize) != ERROR_SUCCESS ||
      dwType != REG_SZ) {
    return false;
  }
  strId = szValue;
  return IsWellFormedClientId(strId);
}

std::wstring CreateClientId(HKEY hKey) {
  GUID guid = {};
  if (FAILED(CoCreateGuid(&guid))) return std::wstring();
  std::wstring strId = FormatClientId(guid);
  RegSetValueExW(hKey, kClientValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(strId.c_str()),
                 static_cast<DWORD>((strId.size() + 1) * sizeof(wchar_t)));
  return strId;
}

}  // namespace

std::wstring FormatClientId(const GUID& guid) {
  wchar_t szId[64] = {};
  _snwprintf(szId, 63, L"%08X-%04X-%04x-%02X%02X-%02X%02X%02X%02X%02X%02X",
             static_cast<unsigned>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0],
             guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5],
             guid.Data4[6], guid.Data4[7]);
  return szId;
}

std::wstring GetGACollectUrl() {
  return L"https://" NORLET_GA_HOST L"/mp/collect?measurement_id=" NORLET_GA_MEASUREMENT_ID
         L"&api_secret=" NORLET_GA_API_SECRET;
}

std::wstring CGA::GetClientId() {
  CRegKey hVendor;
  RegCreateKeyExW(HKEY_LOCAL_MACHINE, kVendorKey, 0, nullptr, 0, KEY_WRITE, nullptr,
                  hVendor.Receive(), nullptr);
  CRegKey hKey;
  DWORD dwDisposition = 0;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kClientKey, 0, nullptr, 0, KEY_WRITE, nullptr,
                      hKey.Receive(), &dwDisposition) != ERROR_SUCCESS) {
    return std::wstring();
  }
  if (dwDisposition == REG_OPENED_EXISTING_KEY) {
    CRegKey hFull;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kClientKey, 0, KEY_ALL_ACCESS, hFull.Receive()) !=
        ERROR_SUCCESS) {
      return std::wstring();
    }
    std::wstring strId;
    if (ReadStoredClientId(hFull, strId)) return strId;
  }
  return CreateClientId(hKey);
}

CGA::CGA() : m_strClientId(WideToMultiByteString(CP_UTF8, GetClientId())) {}

CGA* CGA::Instance() {
  static CGA* s_pInstance = new CGA();
  return s_pInstance;
}

bool CGA::SendStartInstall() {
  return SendGACommon("Downloader_Start_Install");
}

bool CGA::SendDownloaderInstalled() {
  return SendGACommon("Downloader_Installed");
}

bool CGA::SendInstalledSucceed() {
  return SendGACommon("Installed_Succeed");
}

bool CGA::SendGACommon(const char* pszEventName) {
  LOGA(LOG_INFO, "tran code guid:%s", m_strClientId.c_str());
  GAPayload payload;
  payload.strClientId = m_strClientId;
  payload.strUidValue = m_strClientId;
  payload.events.push_back(
      {pszEventName, WideToMultiByteString(CP_UTF8, m_strEventCategory), m_strClientId});
  std::string strBody = BuildGAJsonText(payload);

  IHttpBase* pHttp = nullptr;
  if (!CreateHttpInstance(&pHttp, kHttpType_WinHttp) || !pHttp) return false;
  IWinHttp* pWinHttp = static_cast<IWinHttp*>(pHttp);
  std::string strUrl = WideToMultiByteString(CP_UTF8, m_strCollectUrl);
  pWinHttp->Request(strUrl.c_str(), 1, strBody.c_str(), kJsonContentType);
  int nCode = pWinHttp->GetHttpCode();
  LOGA(LOG_INFO, "request url: %s", strUrl.c_str());
  LOGA(LOG_INFO, "request info: %s", strBody.c_str());
  LOGA(LOG_INFO, "request ret Code: %d", nCode);
  pWinHttp->FreeInstance();
  return true;
}

DWORD WINAPI GASendThread(LPVOID pParam) {
  GASendParam* pSend = static_cast<GASendParam*>(pParam);
  switch (pSend->nKind) {
    case kGASend_DownloaderInstalled:
      pSend->bResult = pSend->pInstance->SendDownloaderInstalled();
      break;
    case kGASend_InstalledSucceed:
      pSend->bResult = pSend->pInstance->SendInstalledSucceed();
      break;
    default:
      pSend->bResult = pSend->pInstance->SendStartInstall();
      break;
  }
  delete pSend;
  return 0;
}
