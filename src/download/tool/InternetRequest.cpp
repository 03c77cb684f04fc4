// The WinINet stack; wininet.h cannot share a unit with winhttp.h.
#include <windows.h>
#include <wininet.h>

#include <climits>
#include <cwchar>

#include "download/stdafx.h"
#include "download/tool/BaseRequest.h"

namespace {

// INTERNET_FLAG_RELOAD, _SECURE, _KEEP_CONNECTION, _NO_COOKIES, _NO_AUTH,
// _IGNORE_REDIRECT_TO_HTTP and _NO_UI.
constexpr DWORD kOpenRequestFlags = 0x80CC8200;

void ReportFailure(const char* pszApiName, const char* pszContext) {
  ShowApiError(pszApiName, GetLastError(), GetInternetMessageModule(), pszContext);
}

// A whole decimal number that fits a 32-bit signed size; nothing else is a size.
bool ParseSize(const wchar_t* pszText, int& nSize) {
  if (!*pszText) return false;
  long long llValue = 0;
  for (const wchar_t* p = pszText; *p; ++p) {
    if (*p < L'0' || *p > L'9') return false;
    llValue = llValue * 10 + (*p - L'0');
    if (llValue > INT_MAX) return false;
  }
  nSize = static_cast<int>(llValue);
  return true;
}

}  // namespace

void CInternetRequest::CloseHandles() {
  m_hRequest.Reset();
  m_hConnect.Reset();
  m_hSession.Reset();
}

bool CInternetRequest::OpenSession() {
  DWORD dwAccessType = IsUseProxyConnect() ? INTERNET_OPEN_TYPE_PRECONFIG
                                           : INTERNET_OPEN_TYPE_PRECONFIG_WITH_NO_AUTOPROXY;
  m_hSession.Reset(InternetOpenW(L"", dwAccessType, nullptr, nullptr, 0));
  if (!m_hSession) ReportFailure("InternetOpen", "CInternetRequest::OpenSession");
  return m_hSession.IsValid();
}

bool CInternetRequest::ConnectSession(bool bSecure) {
  m_hConnect.Reset(InternetConnectW(m_hSession, m_strServerName.c_str(),
                                    INTERNET_DEFAULT_HTTPS_PORT, nullptr, nullptr,
                                    INTERNET_SERVICE_HTTP, 0, 0));
  if (!m_hConnect) ReportFailure("InternetConnect", "CInternetRequest::ConnectSession");
  return m_hConnect.IsValid();
}

bool CInternetRequest::OpenRequest(bool bSecure) {
  LPCWSTR rgAcceptTypes[] = {L"*/*", nullptr};
  DWORD dwFlags = kOpenRequestFlags;
  // WinINet may follow a redirect from https to plain http (that flag allows
  // it outright, and Wine follows it either way), so an https request takes
  // no redirect at all: the 3xx fails the attempt and the retry goes to WinHTTP.
  if (m_bSecureOnly) {
    dwFlags &= ~static_cast<DWORD>(INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTP);
    dwFlags |= INTERNET_FLAG_NO_AUTO_REDIRECT;
  }
  m_hRequest.Reset(HttpOpenRequestW(m_hConnect, m_strVerb.c_str(), m_strObjectName.c_str(),
                                    L"HTTP/1.1", nullptr, rgAcceptTypes, dwFlags, 0));
  if (!m_hRequest) ReportFailure("HttpOpenRequest", "CInternetRequest::OpenRequest");
  return m_hRequest.IsValid();
}

bool CInternetRequest::SendRequest() {
  const char* pszContext = "CInternetRequest::SendRequest";
  if (!m_strHeaders.empty() &&
      !HttpAddRequestHeadersW(m_hRequest, m_strHeaders.c_str(),
                              static_cast<DWORD>(m_strHeaders.size()), HTTP_ADDREQ_FLAG_ADD)) {
    ReportFailure("\"HttpAddRequestHeaders\"", pszContext);
    return false;
  }
  if (!HttpSendRequestW(m_hRequest, nullptr, 0, nullptr, 0)) {
    ReportFailure("HttpSendRequest", pszContext);
    return false;
  }
  return true;
}

bool CInternetRequest::GetUrlFileSize(int& nSize) {
  if (!m_hRequest) return false;
  wchar_t szLength[260] = {};
  DWORD dwBytes = sizeof(szLength) - sizeof(wchar_t);
  DWORD dwIndex = 0;
  if (!HttpQueryInfoW(m_hRequest, HTTP_QUERY_CONTENT_LENGTH, szLength, &dwBytes, &dwIndex)) {
    ReportFailure("HttpQueryInfo", "CInternetRequest::GetUrlFileSize");
    return false;
  }
  return ParseSize(szLength, nSize);
}

bool CInternetRequest::GetStatusCode(int& nStatus) {
  if (!m_hRequest) return false;
  DWORD dwStatus = 0;
  DWORD dwBytes = sizeof(dwStatus);
  DWORD dwIndex = 0;
  if (!HttpQueryInfoW(m_hRequest, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &dwStatus,
                      &dwBytes, &dwIndex)) {
    ReportFailure("HttpQueryInfo", "CInternetRequest::GetStatusCode");
    return false;
  }
  nStatus = static_cast<int>(dwStatus);
  return true;
}

bool CInternetRequest::GetContentRange(std::wstring& strValue) {
  if (!m_hRequest) return false;
  wchar_t szValue[260] = {};
  DWORD dwBytes = sizeof(szValue) - sizeof(wchar_t);
  DWORD dwIndex = 0;
  if (!HttpQueryInfoW(m_hRequest, HTTP_QUERY_CONTENT_RANGE, szValue, &dwBytes, &dwIndex)) {
    ReportFailure("HttpQueryInfo", "CInternetRequest::GetContentRange");
    return false;
  }
  strValue = szValue;
  return true;
}

int CInternetRequest::HttpRead(void* pBuffer, int nSize) {
  DWORD dwRead = 0;
  if (!InternetReadFile(m_hRequest, pBuffer, static_cast<DWORD>(nSize), &dwRead)) {
    ReportFailure("InternetReadFile", "CInternetRequest::HttpRead");
    return -1;
  }
  return static_cast<int>(dwRead);
}
