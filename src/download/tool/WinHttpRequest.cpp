// The WinHTTP stack; winhttp.h cannot share a unit with wininet.h.
#include <windows.h>
#include <winhttp.h>

#include <climits>

#include "download/stdafx.h"
#include "download/tool/BaseRequest.h"

namespace {

void ReportFailure(const char* pszApiName, const char* pszContext) {
  ShowApiError(pszApiName, GetLastError(), GetInternetMessageModule(), pszContext);
}

}  // namespace

void CWinHttpRequest::CloseHandles() {
  m_hRequest.Reset();
  m_hConnect.Reset();
  m_hSession.Reset();
}

bool CWinHttpRequest::OpenSession() {
  DWORD dwAccessType =
      IsUseProxyConnect() ? WINHTTP_ACCESS_TYPE_DEFAULT_PROXY : WINHTTP_ACCESS_TYPE_NO_PROXY;
  m_hSession.Reset(
      WinHttpOpen(nullptr, dwAccessType, WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
  if (!m_hSession) ReportFailure("WinHttpOpen", "CWinHttpRequest::OpenSession");
  return m_hSession.IsValid();
}

bool CWinHttpRequest::ConnectSession(bool bSecure) {
  INTERNET_PORT nPort = bSecure ? INTERNET_DEFAULT_HTTPS_PORT : INTERNET_DEFAULT_HTTP_PORT;
  m_hConnect.Reset(WinHttpConnect(m_hSession, m_strServerName.c_str(), nPort, 0));
  if (!m_hConnect) ReportFailure("WinHttpConnect", "CWinHttpRequest::ConnectSession");
  return m_hConnect.IsValid();
}

bool CWinHttpRequest::OpenRequest(bool bSecure) {
  LPCWSTR rgAcceptTypes[] = {L"*/*", nullptr};
  DWORD dwFlags = WINHTTP_FLAG_REFRESH | (bSecure ? WINHTTP_FLAG_SECURE : 0);
  m_hRequest.Reset(WinHttpOpenRequest(m_hConnect, m_strVerb.c_str(), m_strObjectName.c_str(),
                                      L"HTTP/1.1", WINHTTP_NO_REFERER, rgAcceptTypes, dwFlags));
  if (!m_hRequest) {
    ReportFailure("WinHttpOpenRequest", "CWinHttpRequest::OpenRequest");
    return false;
  }
  // The documented default, stated here because the whole download relies on
  // it: an https request never follows a redirect to plain HTTP.
  DWORD dwPolicy = WINHTTP_OPTION_REDIRECT_POLICY_DISALLOW_HTTPS_TO_HTTP;
  WinHttpSetOption(m_hRequest, WINHTTP_OPTION_REDIRECT_POLICY, &dwPolicy, sizeof(dwPolicy));
  return true;
}

bool CWinHttpRequest::SendRequest() {
  const char* pszContext = "CWinHttpRequest::SendRequest";
  if (!m_strHeaders.empty() &&
      !WinHttpAddRequestHeaders(m_hRequest, m_strHeaders.c_str(),
                                static_cast<DWORD>(m_strHeaders.size()), WINHTTP_ADDREQ_FLAG_ADD)) {
    ReportFailure("WinHttpAddRequestHeaders", pszContext);
    return false;
  }
  if (!WinHttpSendRequest(m_hRequest, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0,
                          0, 0)) {
    ReportFailure("WinHttpSendRequest", pszContext);
    return false;
  }
  if (!WinHttpReceiveResponse(m_hRequest, nullptr)) {
    ReportFailure("WinHttpReceiveResponse", pszContext);
    return false;
  }
  return true;
}

bool CWinHttpRequest::GetUrlFileSize(int& nSize) {
  if (!m_hRequest) return false;
  DWORD dwLength = 0;
  DWORD dwBytes = sizeof(dwLength);
  if (!WinHttpQueryHeaders(m_hRequest, WINHTTP_QUERY_CONTENT_LENGTH | WINHTTP_QUERY_FLAG_NUMBER,
                           WINHTTP_HEADER_NAME_BY_INDEX, &dwLength, &dwBytes,
                           WINHTTP_NO_HEADER_INDEX)) {
    ReportFailure("WinHttpQueryHeaders", "CWinHttpRequest::GetUrlFileSize");
    return false;
  }
  // Sizes are 32-bit signed: a larger length is no size we can download.
  if (dwLength > static_cast<DWORD>(INT_MAX)) return false;
  nSize = static_cast<int>(dwLength);
  return true;
}

bool CWinHttpRequest::GetStatusCode(int& nStatus) {
  if (!m_hRequest) return false;
  DWORD dwStatus = 0;
  DWORD dwBytes = sizeof(dwStatus);
  if (!WinHttpQueryHeaders(m_hRequest, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                           WINHTTP_HEADER_NAME_BY_INDEX, &dwStatus, &dwBytes,
                           WINHTTP_NO_HEADER_INDEX)) {
    ReportFailure("WinHttpQueryHeaders", "CWinHttpRequest::GetStatusCode");
    return false;
  }
  nStatus = static_cast<int>(dwStatus);
  return true;
}

bool CWinHttpRequest::GetContentRange(std::wstring& strValue) {
  if (!m_hRequest) return false;
  wchar_t szValue[260] = {};
  DWORD dwBytes = sizeof(szValue) - sizeof(wchar_t);
  if (!WinHttpQueryHeaders(m_hRequest, WINHTTP_QUERY_CONTENT_RANGE, WINHTTP_HEADER_NAME_BY_INDEX,
                           szValue, &dwBytes, WINHTTP_NO_HEADER_INDEX)) {
    ReportFailure("WinHttpQueryHeaders", "CWinHttpRequest::GetContentRange");
    return false;
  }
  strValue = szValue;
  return true;
}

int CWinHttpRequest::HttpRead(void* pBuffer, int nSize) {
  DWORD dwRead = 0;
  if (!WinHttpReadData(m_hRequest, pBuffer, static_cast<DWORD>(nSize), &dwRead)) {
    ReportFailure("WinHttpReadData", "CWinHttpRequest::HttpRead");
    return -1;
  }
  return static_cast<int>(dwRead);
}
