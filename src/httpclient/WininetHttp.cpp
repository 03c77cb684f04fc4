#include "httpclient/WininetHttp.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>
#include <windows.h>
#include <wininet.h>

#include <memory>

#include "common/FolderTree.h"
#include "httpclient/HttpUrl.h"

namespace {

const size_t kBlockSize = 4096;
const size_t kMaxMemDownload = 0x800000;

// Creates every missing folder on the way to the file.
void CreateParentFolder(const wchar_t* pszFilePath) {
  std::wstring strPath = pszFilePath ? pszFilePath : L"";
  size_t nSlash = strPath.rfind(L'\\');
  if (nSlash != std::wstring::npos) CreateFolderTree(strPath.substr(0, nSlash));
}

struct CFileCloser {
  void operator()(FILE* pFile) const { fclose(pFile); }
};
using CStdioFile = std::unique_ptr<FILE, CFileCloser>;

}  // namespace

// One request as given by a caller: exactly one of the URL forms is set, and
// the extra header (if any) has the same width as the URL.
struct CWininetHttp::RequestArgs {
  const wchar_t* pszUrlW = nullptr;
  const char* pszUrlA = nullptr;
  int nType = 0;
  const char* pszPostData = nullptr;
  const wchar_t* pszHeaderW = nullptr;
  const char* pszHeaderA = nullptr;
};

CWininetHttp::CWininetHttp() = default;

CWininetHttp::~CWininetHttp() {
  CloseHandles();
}

void CWininetHttp::CloseHandles() {
  m_hRequest.Reset();
  m_hConnect.Reset();
  m_hSession.Reset();
}

void CWininetHttp::FreeInstance() {
  delete this;
}

void CWininetHttp::SetCallback(IHttpCallback* pCallback, int nValue) {
  m_pCallback = pCallback;
  m_nCallbackValue = nValue;
}

void CWininetHttp::AddHeader(const char* pszName, const char* pszValue) {
  if (!pszName || !pszValue) return;
  m_header.SetHeader(pszName, pszValue);
}

bool CWininetHttp::Fail(HttpInterfaceError nError) {
  m_nErrorCode = nError;
  return false;
}

bool CWininetHttp::ConnectAndOpen(const RequestArgs& args) {
  uint16_t nPort = 0;
  const char* pszVerbA = args.nType ? "POST" : "GET";
  DWORD dwFlags = INTERNET_FLAG_RELOAD;
  if (args.pszUrlW) {
    std::wstring strHost, strPath;
    SplitUrl(std::wstring(args.pszUrlW), strHost, strPath, nPort);
    m_bSecure = nPort == INTERNET_DEFAULT_HTTPS_PORT;
    m_hConnect.Reset(InternetConnectW(m_hSession, strHost.c_str(), nPort, nullptr, nullptr,
                                      INTERNET_SERVICE_HTTP, 0, 0));
    if (!m_hConnect.IsValid()) return Fail(kHttpErr_Connect);
    if (m_bSecure) dwFlags |= INTERNET_FLAG_SECURE;
    m_hRequest.Reset(HttpOpenRequestW(m_hConnect, args.nType ? L"POST" : L"GET", strPath.c_str(),
                                      L"HTTP/1.1", nullptr, nullptr, dwFlags, 0));
  } else {
    std::string strHost, strPath;
    SplitUrl(std::string(args.pszUrlA), strHost, strPath, nPort);
    m_bSecure = nPort == INTERNET_DEFAULT_HTTPS_PORT;
    m_hConnect.Reset(InternetConnectA(m_hSession, strHost.c_str(), nPort, nullptr, nullptr,
                                      INTERNET_SERVICE_HTTP, 0, 0));
    if (!m_hConnect.IsValid()) return Fail(kHttpErr_Connect);
    if (m_bSecure) dwFlags |= INTERNET_FLAG_SECURE;
    m_hRequest.Reset(HttpOpenRequestA(m_hConnect, pszVerbA, strPath.c_str(), "HTTP/1.1", nullptr,
                                      nullptr, dwFlags, 0));
  }
  if (!m_hRequest.IsValid()) return Fail(kHttpErr_Open);
  return true;
}

bool CWininetHttp::SendRequest(const RequestArgs& args) {
  std::string strFields = m_header.GetHeaderText();
  HttpAddRequestHeadersA(m_hRequest, strFields.c_str(), static_cast<DWORD>(strFields.size()),
                         HTTP_ADDREQ_FLAG_ADD | HTTP_ADDREQ_FLAG_REPLACE);
  void* pBody = const_cast<char*>(args.pszPostData);
  DWORD dwBody = args.pszPostData ? static_cast<DWORD>(strlen(args.pszPostData)) : 0;
  BOOL bSent = FALSE;
  if (args.pszUrlW) {
    DWORD dwHeader = args.pszHeaderW ? static_cast<DWORD>(wcslen(args.pszHeaderW)) : 0;
    bSent = HttpSendRequestW(m_hRequest, args.pszHeaderW, dwHeader, pBody, dwBody);
  } else {
    DWORD dwHeader = args.pszHeaderA ? static_cast<DWORD>(strlen(args.pszHeaderA)) : 0;
    bSent = HttpSendRequestA(m_hRequest, args.pszHeaderA, dwHeader, pBody, dwBody);
  }
  if (!bSent) return Fail(kHttpErr_Send);

  wchar_t szStatus[24] = {};
  DWORD dwStatusSize = sizeof(szStatus);
  m_nHttpCode = HttpQueryInfoW(m_hRequest, HTTP_QUERY_STATUS_CODE, szStatus, &dwStatusSize, nullptr)
                    ? _wtoi(szStatus)
                    : 0;
  if (m_nHttpCode == HTTP_STATUS_NOT_FOUND) return Fail(kHttpErr_Status);
  return true;
}

bool CWininetHttp::OpenRequest(const RequestArgs& args) {
  CloseHandles();
  m_hSession.Reset(
      InternetOpenW(L"Http-connect", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!m_hSession.IsValid()) return Fail(kHttpErr_Open);
  return ConnectAndOpen(args) && SendRequest(args);
}

std::string CWininetHttp::ReadBody() {
  std::string strBody;
  char szBlock[kBlockSize];
  DWORD dwRead = 0;
  while (InternetReadFile(m_hRequest, szBlock, sizeof(szBlock), &dwRead) && dwRead > 0) {
    strBody.append(szBlock, dwRead);
  }
  return strBody;
}

std::string CWininetHttp::Request(const wchar_t* pszUrl, int nType, const char* pszPostData,
                                  const wchar_t* pszHeader) {
  if (!pszUrl || !*pszUrl) {
    Fail(kHttpErr_NoRequestUrl);
    return std::string();
  }
  RequestArgs args;
  args.pszUrlW = pszUrl;
  args.nType = nType;
  args.pszPostData = pszPostData;
  args.pszHeaderW = pszHeader;
  return OpenRequest(args) ? ReadBody() : std::string();
}

std::string CWininetHttp::Request(const char* pszUrl, int nType, const char* pszPostData,
                                  const char* pszHeader) {
  if (!pszUrl || !*pszUrl) {
    Fail(kHttpErr_NoRequestUrl);
    return std::string();
  }
  RequestArgs args;
  args.pszUrlA = pszUrl;
  args.nType = nType;
  args.pszPostData = pszPostData;
  args.pszHeaderA = pszHeader;
  return OpenRequest(args) ? ReadBody() : std::string();
}

bool CWininetHttp::DownloadFileBody(FILE* pFile, double dTotal) {
  char szBlock[kBlockSize];
  double dReceived = 0;
  DWORD dwRead = 0;
  while (InternetReadFile(m_hRequest, szBlock, sizeof(szBlock), &dwRead) && dwRead > 0) {
    if (fwrite(szBlock, 1, dwRead, pFile) == 0) return Fail(kHttpErr_Write);
    dReceived += dwRead;
    if (m_pCallback) m_pCallback->OnHttpEvent(m_nCallbackValue, kHttp_Progress, dTotal, dReceived);
  }
  if (dReceived != dTotal) return Fail(kHttpErr_Incomplete);
  if (m_pCallback) m_pCallback->OnHttpEvent(m_nCallbackValue, kHttp_Finished, dTotal, dReceived);
  return true;
}

bool CWininetHttp::DownloadFile(const wchar_t* pszUrl, const wchar_t* pszFilePath) {
  bool bOk = false;
  if (!pszUrl || !*pszUrl) {
    Fail(kHttpErr_NoDownloadUrl);
  } else {
    RequestArgs args;
    args.pszUrlW = pszUrl;
    if (OpenRequest(args)) {
      char szLength[1024] = {};
      DWORD dwLengthSize = sizeof(szLength) - 1;
      if (!HttpQueryInfoA(m_hRequest, HTTP_QUERY_CONTENT_LENGTH, szLength, &dwLengthSize,
                          nullptr)) {
        Fail(kHttpErr_Query);
      } else {
        CreateParentFolder(pszFilePath);
        CStdioFile file(pszFilePath ? _wfopen(pszFilePath, L"wb+") : nullptr);
        if (!file) {
          Fail(kHttpErr_File);
        } else {
          bOk = DownloadFileBody(file.get(), atof(szLength));
        }
      }
    }
  }
  if (!bOk && m_pCallback) m_pCallback->OnHttpEvent(m_nCallbackValue, kHttp_Failed, 0, 0);
  return bOk;
}

bool CWininetHttp::DownloadToMem(const wchar_t* pszUrl, void** ppData, size_t* pnSize) {
  if (!pszUrl || !*pszUrl) return Fail(kHttpErr_NoDownloadUrl);
  RequestArgs args;
  args.pszUrlW = pszUrl;
  if (!OpenRequest(args)) return false;

  wchar_t szLength[512] = {};
  DWORD dwLengthSize = sizeof(szLength) - sizeof(wchar_t);
  bool bKnownLength = true;
  long long nLength = static_cast<long long>(kMaxMemDownload);
  if (!HttpQueryInfoW(m_hRequest, HTTP_QUERY_CONTENT_LENGTH, szLength, &dwLengthSize, nullptr)) {
    if (GetLastError() != ERROR_HTTP_HEADER_NOT_FOUND) return Fail(kHttpErr_Query);
    bKnownLength = false;
  } else {
    wchar_t* pszEnd = nullptr;
    nLength = _wcstoi64(szLength, &pszEnd, 10);
    if (pszEnd == szLength || nLength < 0 || nLength > static_cast<long long>(kMaxMemDownload)) {
      return Fail(kHttpErr_Length);
    }
  }

  size_t nCapacity = static_cast<size_t>(nLength);
  std::unique_ptr<char, decltype(&free)> buffer(
      static_cast<char*>(malloc(nCapacity ? nCapacity : 1)), &free);
  if (!buffer) return Fail(kHttpErr_Length);
  size_t nRead = 0;
  DWORD dwRead = 0;
  while (nRead < nCapacity &&
         InternetReadFile(m_hRequest, buffer.get() + nRead, static_cast<DWORD>(nCapacity - nRead),
                          &dwRead) &&
         dwRead > 0) {
    nRead += dwRead;
  }
  if (bKnownLength && nRead != nCapacity) return Fail(kHttpErr_Incomplete);
  *ppData = buffer.release();
  *pnSize = nRead;
  return true;
}
