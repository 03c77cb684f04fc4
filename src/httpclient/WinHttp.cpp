#include "httpclient/WinHttp.h"

#include <stdlib.h>
#include <string.h>
#include <windows.h>
#include <winhttp.h>

#include <memory>
#include <vector>

#include "httpclient/HttpUrl.h"

namespace {

const DWORD kBlockSize = 4096;
const long long kMaxMemDownload = 0x800000;

// WinHttpConnect only records the target; an unreachable host shows up when
// the request is sent, and is reported as a connection failure.
bool IsConnectFailure(DWORD dwError) {
  return dwError == ERROR_WINHTTP_CANNOT_CONNECT || dwError == ERROR_WINHTTP_NAME_NOT_RESOLVED;
}

}  // namespace

CWinHttp::CWinHttp() {
  OpenSession();
}

CWinHttp::~CWinHttp() {
  CloseHandles();
}

void CWinHttp::CloseHandles() {
  m_hRequest.Reset();
  m_hConnect.Reset();
  m_hSession.Reset();
}

void CWinHttp::FreeInstance() {
  delete this;
}

void CWinHttp::SetCallback(IHttpCallback* pCallback, int nValue) {
  m_pCallback = pCallback;
  m_nCallbackValue = nValue;
}

void CWinHttp::AddHeader(const char* pszName, const char* pszValue) {
  if (!pszName || !pszValue) return;
  m_header.SetHeader(pszName, pszValue);
}

void CWinHttp::SetTimeOut(int nConnect, int nSend, int nReceive) {
  m_nConnectTimeout = nConnect;
  m_nSendTimeout = nSend;
  m_nReceiveTimeout = nReceive;
}

bool CWinHttp::Fail(HttpInterfaceError nError) {
  m_nErrorCode = nError;
  return false;
}

bool CWinHttp::OpenSession() {
  CloseHandles();
  m_hSession.Reset(WinHttpOpen(L"Microsoft Internet Explorer", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                               WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
  if (!m_hSession.IsValid()) return Fail(kHttpErr_Open);
  WinHttpSetTimeouts(m_hSession, 0, m_nConnectTimeout, m_nSendTimeout, m_nReceiveTimeout);
  return true;
}

bool CWinHttp::RunRequest(const std::wstring& strUrl, int nType, const char* pszPostData,
                          const wchar_t* pszHeader) {
  if (!OpenSession()) return false;
  std::wstring strHost, strPath;
  uint16_t nPort = 0;
  SplitUrl(strUrl, strHost, strPath, nPort);
  m_bSecure = nPort == INTERNET_DEFAULT_HTTPS_PORT;
  m_hConnect.Reset(WinHttpConnect(m_hSession, strHost.c_str(), nPort, 0));
  if (!m_hConnect.IsValid()) return Fail(kHttpErr_Connect);
  m_hRequest.Reset(WinHttpOpenRequest(m_hConnect, nType ? L"POST" : L"GET", strPath.c_str(),
                                      nullptr, WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                      m_bSecure ? WINHTTP_FLAG_SECURE : 0));
  if (!m_hRequest.IsValid()) return Fail(kHttpErr_Open);

  std::wstring strFields = AnsiToWide(m_header.GetHeaderText());
  WinHttpAddRequestHeaders(m_hRequest, strFields.c_str(), static_cast<DWORD>(strFields.size()),
                           WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE);
  DWORD dwBody = pszPostData ? static_cast<DWORD>(strlen(pszPostData)) : 0;
  BOOL bSent = WinHttpSendRequest(
      m_hRequest, pszHeader && *pszHeader ? pszHeader : WINHTTP_NO_ADDITIONAL_HEADERS,
      pszHeader && *pszHeader ? static_cast<DWORD>(-1L) : 0,
      pszPostData ? const_cast<char*>(pszPostData) : WINHTTP_NO_REQUEST_DATA, dwBody, dwBody, 0);
  if (!bSent) return Fail(IsConnectFailure(GetLastError()) ? kHttpErr_Connect : kHttpErr_Send);
  if (!WinHttpReceiveResponse(m_hRequest, nullptr)) return Fail(kHttpErr_Open);
  return true;
}

int CWinHttp::QueryStatusCode() {
  wchar_t szStatus[24] = {};
  DWORD dwSize = sizeof(szStatus);
  if (!WinHttpQueryHeaders(m_hRequest, WINHTTP_QUERY_STATUS_CODE, WINHTTP_HEADER_NAME_BY_INDEX,
                           szStatus, &dwSize, WINHTTP_NO_HEADER_INDEX)) {
    return 0;
  }
  return _wtoi(szStatus);
}

bool CWinHttp::QueryContentLength(long long& nLength) {
  wchar_t szLength[24] = {};
  DWORD dwSize = sizeof(szLength);
  if (!WinHttpQueryHeaders(m_hRequest, WINHTTP_QUERY_CONTENT_LENGTH, WINHTTP_HEADER_NAME_BY_INDEX,
                           szLength, &dwSize, WINHTTP_NO_HEADER_INDEX)) {
    return false;
  }
  wchar_t* pszEnd = nullptr;
  nLength = _wcstoi64(szLength, &pszEnd, 10);
  return pszEnd != szLength && nLength >= 0;
}

template <typename Sink>
bool CWinHttp::ReadBody(Sink sink) {
  std::vector<char> block(kBlockSize);
  for (;;) {
    DWORD dwAvailable = 0;
    if (!WinHttpQueryDataAvailable(m_hRequest, &dwAvailable)) return false;
    if (dwAvailable == 0) return true;
    if (dwAvailable > block.size()) block.resize(dwAvailable);
    DWORD dwRead = 0;
    if (!WinHttpReadData(m_hRequest, block.data(), dwAvailable, &dwRead)) return false;
    if (dwRead == 0) return true;
    if (!sink(block.data(), dwRead)) return false;
  }
}

std::string CWinHttp::Request(const wchar_t* pszUrl, int nType, const char* pszPostData,
                              const wchar_t* pszHeader) {
  if (!RunRequest(pszUrl ? pszUrl : L"", nType, pszPostData, pszHeader)) return std::string();
  m_nHttpCode = QueryStatusCode();
  if (m_nHttpCode == HTTP_STATUS_NOT_FOUND) {
    Fail(kHttpErr_Status);
    return std::string();
  }
  std::string strBody;
  bool bComplete = ReadBody([&strBody](const char* pData, DWORD dwSize) {
    strBody.append(pData, dwSize);
    return true;
  });
  return bComplete ? strBody : std::string();
}

std::string CWinHttp::Request(const char* pszUrl, int nType, const char* pszPostData,
                              const char* pszHeader) {
  std::wstring strHeader = AnsiToWide(pszHeader ? pszHeader : "");
  return Request(AnsiToWide(pszUrl ? pszUrl : "").c_str(), nType, pszPostData,
                 strHeader.empty() ? nullptr : strHeader.c_str());
}

bool CWinHttp::DownloadFile(const wchar_t* pszUrl, const wchar_t* pszFilePath) {
  if (!RunRequest(pszUrl ? pszUrl : L"", 0, nullptr, nullptr)) return false;
  long long nTotal = 0;
  if (!QueryContentLength(nTotal)) return Fail(kHttpErr_Query);
  m_nHttpCode = QueryStatusCode();
  if (m_nHttpCode == HTTP_STATUS_NOT_FOUND) return Fail(kHttpErr_Status);

  bool bOk = false;
  {
    CFileHandle hFile(CreateFileW(pszFilePath ? pszFilePath : L"", GENERIC_WRITE, FILE_SHARE_WRITE,
                                  nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!hFile.IsValid()) return Fail(kHttpErr_File);
    LARGE_INTEGER liSize;
    liSize.QuadPart = nTotal;
    if (SetFilePointerEx(hFile, liSize, nullptr, FILE_BEGIN)) SetEndOfFile(hFile);
    liSize.QuadPart = 0;
    SetFilePointerEx(hFile, liSize, nullptr, FILE_BEGIN);

    long long nReceived = 0;
    bool bRead = ReadBody([&](const char* pData, DWORD dwSize) {
      DWORD dwWritten = 0;
      if (!WriteFile(hFile, pData, dwSize, &dwWritten, nullptr) || dwWritten != dwSize) {
        return false;
      }
      nReceived += dwSize;
      if (m_pCallback) {
        m_pCallback->OnHttpEvent(m_nCallbackValue, kHttp_Progress, static_cast<double>(nTotal),
                                 static_cast<double>(nReceived));
      }
      return true;
    });
    // A body cut short would leave the pre-sized file looking complete.
    bOk = bRead && nReceived == nTotal;
  }
  if (!bOk) {
    DeleteFileW(pszFilePath);
    Fail(kHttpErr_Incomplete);
  }
  return bOk;
}

bool CWinHttp::DownloadToMem(const wchar_t* pszUrl, void** ppData, size_t* pnSize) {
  if (!RunRequest(pszUrl ? pszUrl : L"", 0, nullptr, nullptr)) return Fail(kHttpErr_Open);
  long long nLength = 0;
  if (!QueryContentLength(nLength)) return Fail(kHttpErr_Query);
  m_nHttpCode = QueryStatusCode();
  if (m_nHttpCode == HTTP_STATUS_NOT_FOUND) return Fail(kHttpErr_Status);
  if (nLength > kMaxMemDownload) return Fail(kHttpErr_Length);

  size_t nCapacity = static_cast<size_t>(nLength);
  std::unique_ptr<char, decltype(&free)> buffer(
      static_cast<char*>(malloc(nCapacity ? nCapacity : 1)), &free);
  if (!buffer) return Fail(kHttpErr_Length);
  size_t nCopied = 0;
  bool bRead = ReadBody([&](const char* pData, DWORD dwSize) {
    size_t nTake = dwSize < nCapacity - nCopied ? dwSize : nCapacity - nCopied;
    memcpy(buffer.get() + nCopied, pData, nTake);
    nCopied += nTake;
    return true;
  });
  if (!bRead || nCopied != nCapacity) return Fail(kHttpErr_Incomplete);
  *ppData = buffer.release();
  *pnSize = nCopied;
  return true;
}
