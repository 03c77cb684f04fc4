#include "download/tool/BaseRequest.h"

#include "download/stdafx.h"
#include "log/Log.h"

namespace {

constexpr DWORD kOptionMaxConnsPerServer = 73;
constexpr DWORD kOptionMaxConnsPer10Server = 74;

bool StartsWithNoCase(const std::wstring& str, const wchar_t* pszPrefix) {
  size_t nLength = wcslen(pszPrefix);
  return str.size() >= nLength && _wcsnicmp(str.c_str(), pszPrefix, nLength) == 0;
}

}  // namespace

CBaseRequest* CBaseRequest::CreateInstance(int nType) {
  switch (nType) {
    case kRequest_WinHttp:
      return new CWinHttpRequest();
    case kRequest_Internet:
      return new CInternetRequest();
    default:
      ShowAssertMsg(false, "false", "CBaseRequest::CreateInstance", __LINE__,
                    "ERR:un support type %d", nType);
      return nullptr;
  }
}

// The scheme must begin the URL: an https URL that merely mentions "http://"
// in its query must not be split (or fetched) as a plain one.
bool CBaseRequest::ParseUrl(const std::wstring& strUrl, std::wstring& strHost,
                            std::wstring& strObjectName, bool& bSecureOnly) {
  std::wstring strRest;
  bSecureOnly = false;
  if (StartsWithNoCase(strUrl, L"http://")) {
    strRest = strUrl.substr(7);
  } else if (StartsWithNoCase(strUrl, L"https://")) {
    strRest = strUrl.substr(8);
    bSecureOnly = true;
  } else {
    strHost.clear();
    strObjectName.clear();
    return true;
  }
  size_t nSlash = strRest.find(L'/');
  if (nSlash == std::wstring::npos) return false;
  strHost = strRest.substr(0, nSlash);
  strObjectName = strRest.substr(nSlash + 1);
  return true;
}

bool CBaseRequest::Request(const std::wstring& strUrl) {
  std::wstring strHost, strObjectName;
  if (!ParseUrl(strUrl, strHost, strObjectName, m_bSecureOnly)) return false;
  if (RequestImp(strHost, strObjectName, true)) return true;
  // A plain retry of an https URL would let anyone on the path replace the
  // file that the setup program later runs elevated.
  if (m_bSecureOnly) return false;
  CloseHandles();
  return RequestImp(strHost, strObjectName, false);
}

bool CBaseRequest::RequestImp(const std::wstring& strHost, const std::wstring& strObjectName,
                              bool bSecure) {
  m_strObjectName = strObjectName;
  m_strServerName = strHost;
  if (!OpenSession()) return false;
  if (m_nMaxConnsPerServer != 0) {
    InternetSetOpt(kOptionMaxConnsPerServer, static_cast<DWORD>(m_nMaxConnsPerServer));
    InternetSetOpt(kOptionMaxConnsPer10Server, static_cast<DWORD>(m_nMaxConnsPerServer));
  }
  return ConnectSession(bSecure) && OpenRequest(bSecure) && SendRequest();
}
