#include "httpclient/HttpSocket.h"

#include <stdlib.h>
#include <string.h>
#include <wchar.h>
// Winsock 2 before windows.h: no header above includes it.
#include <winsock2.h>

#include <memory>

#include "httpclient/HttpUrl.h"

namespace {

const size_t kBlockSize = 4096;
const long long kMaxMemDownload = 0x800000;
// A server that keeps redirecting is answered with an error, not followed.
const int kMaxRedirects = 10;
const DWORD kReceiveTimeoutMs = 10000;

// Reads a decimal Content-Length. False for text that is not a non-negative
// number that fits; the caller decides what a missing field means.
bool ParseLength(const std::string& strText, long long& nLength) {
  if (strText.empty()) return false;
  nLength = 0;
  for (char ch : strText) {
    if (ch < '0' || ch > '9') return false;
    if (nLength > (0x7FFFFFFFFFFFFFFFLL - 9) / 10) return false;
    nLength = nLength * 10 + (ch - '0');
  }
  return true;
}

bool IsAbsoluteUrl(const std::wstring& strUrl) {
  return strUrl.compare(0, 7, L"http://") == 0 || strUrl.compare(0, 8, L"https://") == 0;
}

static_assert(sizeof(SOCKET) == sizeof(uintptr_t), "SOCKET is pointer-sized");

static_assert(sizeof(SOCKET) == sizeof(uintptr_t), "SOCKET is pointer-sized");

}  // namespace

CHttpSocket::CHttpSocket() : m_socket(INVALID_SOCKET) {
  // Winsock counts its users, so every client keeps the library up while it lives.
  WSADATA wsaData;
  m_bWinsockReady = WSAStartup(MAKEWORD(2, 2), &wsaData) == 0;
}

CHttpSocket::~CHttpSocket() {
  CloseSocket();
  if (m_bWinsockReady) WSACleanup();
}

void CHttpSocket::CloseSocket() {
  if (m_socket == INVALID_SOCKET) return;
  closesocket(m_socket);
  m_socket = INVALID_SOCKET;
}

void CHttpSocket::FreeInstance() {
  delete this;
}

void CHttpSocket::SetCallback(IHttpCallback* pCallback, int nValue) {
  m_pCallback = pCallback;
  m_nCallbackValue = nValue;
}

void CHttpSocket::AddHeader(const char* pszName, const char* pszValue) {
  if (!pszName || !pszValue) return;
  m_header.SetHeader(pszName, pszValue);
}

bool CHttpSocket::Fail(HttpInterfaceError nError) {
  m_nErrorCode = nError;
  return false;
}

bool CHttpSocket::IsCancelled() {
  return m_pCallback && m_pCallback->IsCancel();
}

void CHttpSocket::ReportProgress(int nEvent, double dTotal, double dReceived) {
  if (m_pCallback) m_pCallback->OnHttpEvent(m_nCallbackValue, nEvent, dTotal, dReceived);
}

int CHttpSocket::Receive(char* pBuffer, size_t nSize) {
  return recv(m_socket, pBuffer, static_cast<int>(nSize), 0);
}

bool CHttpSocket::Connect(const std::wstring& strHost, uint16_t nPort) {
  hostent* pHost = gethostbyname(WideToAnsi(strHost).c_str());
  if (!pHost || pHost->h_addrtype != AF_INET || !pHost->h_addr_list[0]) {
    return Fail(kHttpErr_HostLookup);
  }
  in_addr address;
  memcpy(&address, pHost->h_addr_list[0], sizeof(address));
  const unsigned char* pBytes = reinterpret_cast<const unsigned char*>(&address);
  wchar_t szIp[32] = {};
  _snwprintf(szIp, 31, L"%d.%d.%d.%d", pBytes[0], pBytes[1], pBytes[2], pBytes[3]);
  m_strIpAddr = szIp;

  CloseSocket();
  m_socket = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (m_socket == INVALID_SOCKET) return Fail(kHttpErr_Socket);
  DWORD dwTimeout = kReceiveTimeoutMs;
  setsockopt(m_socket, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&dwTimeout),
             sizeof(dwTimeout));
  sockaddr_in target = {};
  target.sin_family = AF_INET;
  target.sin_port = htons(nPort);
  target.sin_addr = address;
  if (connect(m_socket, reinterpret_cast<const sockaddr*>(&target), sizeof(target)) != 0) {
    return Fail(kHttpErr_Connect);
  }
  return true;
}

bool CHttpSocket::SendRequest(const std::wstring& strPath) {
  m_header.m_strUrl = WideToAnsi(strPath);
  std::string strText = m_header.GetRequestText();
  size_t nSent = 0;
  while (nSent < strText.size()) {
    int nResult =
        send(m_socket, strText.data() + nSent, static_cast<int>(strText.size() - nSent), 0);
    if (nResult <= 0) return Fail(kHttpErr_Send);
    nSent += static_cast<size_t>(nResult);
  }
  return true;
}

// The head must end within one block; bytes behind it start the body.
bool CHttpSocket::ReadHead(bool bCheckCancel, CHttpHeader& head, std::string& strRest) {
  char szBlock[kBlockSize];
  std::string strData;
  while (strData.size() < kBlockSize) {
    if (bCheckCancel && IsCancelled()) return Fail(kHttpErr_Cancelled);
    int nReceived = Receive(szBlock, kBlockSize - strData.size());
    if (nReceived < 0) return Fail(kHttpErr_Socket);
    if (nReceived == 0) break;
    strData.append(szBlock, static_cast<size_t>(nReceived));
    size_t nEnd = strData.find("\r\n\r\n");
    if (nEnd != std::string::npos) {
      head.ParseResponseHead(strData.substr(0, nEnd));
      strRest = strData.substr(nEnd + 4);
      return true;
    }
  }
  return Fail(kHttpErr_NoHeaderEnd);
}

bool CHttpSocket::OpenResponse(const std::wstring& strUrl, bool bCheckCancel, CHttpHeader& head,
                               std::string& strRest, COpenFailure& failure) {
  std::wstring strHost, strPath;
  uint16_t nPort = 0;
  SplitUrl(strUrl, strHost, strPath, nPort);
  bool bConnected = false;
  for (int nRedirects = 0;; ++nRedirects) {
    if (!bConnected) {
      if (nPort == 443) {
        failure.bRefused = true;
        return false;
      }
      if (!Connect(strHost, nPort)) {
        failure.bConnectFailed = true;
        return false;
      }
      bConnected = true;
      // A redirection to another host must name that host, not the first one.
      if (!strHost.empty()) m_header.m_mapHeaders["Host"] = WideToAnsi(strHost);
    }
    if (!SendRequest(strPath)) return false;
    head = CHttpHeader();
    strRest.clear();
    if (!ReadHead(bCheckCancel, head, strRest)) return false;
    m_nHttpCode = head.m_nHttpCode;
    if (m_nHttpCode == 400) return Fail(kHttpErr_Status);
    if (m_nHttpCode < 301 || m_nHttpCode > 399) return true;

    std::wstring strLocation = AnsiToWide(head.GetHeader("Location"));
    if (strLocation.empty() || nRedirects >= kMaxRedirects) return Fail(kHttpErr_Status);
    if (IsAbsoluteUrl(strLocation)) {
      SplitUrl(strLocation, strHost, strPath, nPort);
      CloseSocket();
      bConnected = false;
      continue;
    }
    // The same connection serves the new path only when the redirection's own
    // body has fully arrived; otherwise its leftovers would read as the next head.
    long long nBody = 0;
    std::string strLength = head.GetHeader("Content-Length");
    bool bBodyDone = strLength.empty() || (ParseLength(strLength, nBody) &&
                                           nBody == static_cast<long long>(strRest.size()));
    strPath = strLocation;
    if (!bBodyDone || head.GetHeader("Connection") == "close") {
      CloseSocket();
      bConnected = false;
    }
  }
}

// Writes the body to the file: up to Content-Length when announced, else
// until the server closes the connection.
bool CHttpSocket::ReceiveFileBody(const CHttpHeader& head, const std::string& strRest,
                                  FILE* pFile) {
  long long nTotal = -1;
  std::string strLength = head.GetHeader("Content-Length");
  if (!strLength.empty() && !ParseLength(strLength, nTotal)) return Fail(kHttpErr_Length);
  const double dTotal = nTotal < 0 ? 0.0 : static_cast<double>(nTotal);

  long long nReceived = 0;
  auto fnWrite = [&](const char* pData, size_t nSize) {
    if (nTotal >= 0 && static_cast<long long>(nSize) > nTotal - nReceived) {
      nSize = static_cast<size_t>(nTotal - nReceived);
    }
    if (nSize > 0 && fwrite(pData, 1, nSize, pFile) != nSize) return Fail(kHttpErr_Write);
    nReceived += static_cast<long long>(nSize);
    ReportProgress(kHttp_Progress, dTotal, static_cast<double>(nReceived));
    return true;
  };
  if (!fnWrite(strRest.data(), strRest.size())) return false;

  char szBlock[kBlockSize];
  while (nTotal < 0 || nReceived < nTotal) {
    if (IsCancelled()) return Fail(kHttpErr_Cancelled);
    int nCount = Receive(szBlock, sizeof(szBlock));
    if (nCount < 0) return Fail(kHttpErr_Socket);
    if (nCount == 0) {
      if (nTotal >= 0) return Fail(kHttpErr_Incomplete);
      break;
    }
    if (!fnWrite(szBlock, static_cast<size_t>(nCount))) return false;
  }
  ReportProgress(kHttp_Finished, nTotal < 0 ? static_cast<double>(nReceived) : dTotal,
                 static_cast<double>(nReceived));
  return true;
}

bool CHttpSocket::DownloadFile(const wchar_t* pszUrl, const wchar_t* pszFilePath) {
  if (!pszUrl || !*pszUrl) {
    Fail(kHttpErr_NoDownloadUrl);
    ReportProgress(kHttp_Failed, 0, 0);
    return false;
  }
  std::wstring strHost, strPath;
  uint16_t nPort = 0;
  SplitUrl(std::wstring(pszUrl), strHost, strPath, nPort);
  if (nPort == 443) return false;

  std::wstring strFile = pszFilePath ? pszFilePath : L"";
  DeleteFileW(strFile.c_str());
  CHttpHeader head;
  std::string strRest;
  COpenFailure failure;
  bool bOk = false;
  bool bRecorded = true;
  if (OpenResponse(pszUrl, true, head, strRest, failure)) {
    FILE* pFile = _wfopen(strFile.c_str(), L"wb+");
    if (!pFile) {
      Fail(kHttpErr_File);
    } else {
      bOk = ReceiveFileBody(head, strRest, pFile);
      fclose(pFile);
    }
  } else {
    bRecorded = !failure.bRefused;
  }
  if (!bOk) {
    DeleteFileW(strFile.c_str());
    if (bRecorded) ReportProgress(kHttp_Failed, 0, 0);
  }
  return bOk;
}

bool CHttpSocket::ReceiveMemBody(const CHttpHeader& head, const std::string& strRest, void** ppData,
                                 size_t* pnSize) {
  long long nLength = 0;
  if (!ParseLength(head.GetHeader("Content-Length"), nLength) || nLength == 0 ||
      nLength > kMaxMemDownload) {
    return Fail(kHttpErr_Length);
  }
  const size_t nTotal = static_cast<size_t>(nLength);
  std::unique_ptr<char, decltype(&free)> buffer(static_cast<char*>(malloc(nTotal)), &free);
  if (!buffer) return Fail(kHttpErr_Length);
  size_t nFilled = strRest.size() < nTotal ? strRest.size() : nTotal;
  memcpy(buffer.get(), strRest.data(), nFilled);
  while (nFilled < nTotal) {
    size_t nWant = nTotal - nFilled < kBlockSize ? nTotal - nFilled : kBlockSize;
    int nCount = Receive(buffer.get() + nFilled, nWant);
    if (nCount < 0) return Fail(kHttpErr_Socket);
    if (nCount == 0) return Fail(kHttpErr_Incomplete);
    nFilled += static_cast<size_t>(nCount);
  }
  *ppData = buffer.release();
  *pnSize = nTotal;
  return true;
}

bool CHttpSocket::DownloadToMem(const wchar_t* pszUrl, void** ppData, size_t* pnSize) {
  *ppData = nullptr;
  *pnSize = 0;
  if (!pszUrl || !*pszUrl) return Fail(kHttpErr_NoDownloadUrl);
  CHttpHeader head;
  std::string strRest;
  COpenFailure failure;
  if (!OpenResponse(pszUrl, false, head, strRest, failure)) {
    if (failure.bConnectFailed) Fail(kHttpErr_Open);
    return false;
  }
  return ReceiveMemBody(head, strRest, ppData, pnSize);
}
