#include "download/HttpDownload.h"

#include <process.h>
#include <shlwapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "common/FolderTree.h"
#include "common/ScopedWin.h"
#include "download/ContentRange.h"
#include "download/SaveFolder.h"
#include "download/stdafx.h"
#include "download/tool/BaseRequest.h"
#include "log/Log.h"

namespace {

constexpr int kMaxThreads = 64;  // the most handles one wait accepts
constexpr int kReadChunk = 102400;
constexpr int kLastAttempt = 10;
constexpr int kConnsPerServer = 50;

std::atomic<int> g_nWinHttpFail{0};
std::atomic<int> g_nInternetFail{0};

// The stack that has failed less; on a tie, alternate by attempt number.
int ChooseRequestType(int nAttempt) {
  int nWinHttp = g_nWinHttpFail.load();
  int nInternet = g_nInternetFail.load();
  if (nInternet > nWinHttp) return kRequest_WinHttp;
  if (nInternet < nWinHttp) return kRequest_Internet;
  return (nAttempt % 2 == 0) ? kRequest_WinHttp : kRequest_Internet;
}

struct CFileCloser {
  void operator()(FILE* pFile) const { fclose(pFile); }
};
using CFilePtr = std::unique_ptr<FILE, CFileCloser>;

class CCriticalSection {
 public:
  CCriticalSection() { InitializeCriticalSection(&m_cs); }
  ~CCriticalSection() { DeleteCriticalSection(&m_cs); }
  CCriticalSection(const CCriticalSection&) = delete;
  CCriticalSection& operator=(const CCriticalSection&) = delete;
  CRITICAL_SECTION& Get() { return m_cs; }

 private:
  CRITICAL_SECTION m_cs;
};

// The size query: a HEAD over WinHTTP, then a GET over WinINet whose body is
// left unread. Only a 2xx answer carries the file's length.
bool QueryFileSize(const std::wstring& strUrl, int& nSize) {
  for (int nType : {kRequest_WinHttp, kRequest_Internet}) {
    std::unique_ptr<CBaseRequest> request(CBaseRequest::CreateInstance(nType));
    if (!request) continue;
    if (nType == kRequest_WinHttp) request->m_strVerb = L"HEAD";
    int nStatus = 0;
    if (request->Request(strUrl) && request->GetStatusCode(nStatus) && nStatus >= 200 &&
        nStatus < 300 && request->GetUrlFileSize(nSize))
      return true;
  }
  return false;
}

// Server-sent text for one log line: printable ASCII only, and not too much of it.
std::string LoggableText(const std::wstring& strText) {
  constexpr size_t kMaxLogged = 80;
  std::string strLogged;
  for (size_t i = 0; i < strText.size() && i < kMaxLogged; ++i) {
    wchar_t ch = strText[i];
    strLogged += (ch >= L' ' && ch <= L'~') ? static_cast<char>(ch) : '?';
  }
  return strLogged;
}

}  // namespace

struct DownloadThreadParam {
  bool bResult = false;
  CHttpDownload* pOwner = nullptr;
  int nStart = 0;
  int nLength = 0;
  int nIndex = 0;
  FILE* pFile = nullptr;
  CRITICAL_SECTION* pLock = nullptr;
};

int GetRequestFailCount(int nType) {
  return nType == kRequest_WinHttp ? g_nWinHttpFail.load() : g_nInternetFail.load();
}

void SetRequestFailCounts(int nWinHttp, int nInternet) {
  g_nWinHttpFail = nWinHttp;
  g_nInternetFail = nInternet;
}

bool HttpDownload(HttpDownloadParam& param, DownloadCallback pfnCallback) {
  CHttpDownload download(param, pfnCallback);
  return download.Download() == kDownloadResult_Ok;
}

int GetHttpFileSize(const std::wstring& strUrl) {
  int nSize = 0;
  return QueryFileSize(strUrl, nSize) ? nSize : 0;
}

CHttpDownload::CHttpDownload(HttpDownloadParam& param, DownloadCallback pfnCallback,
                             DWORD dwRetryPauseMs)
    : m_pParam(&param), m_pfnCallback(pfnCallback), m_dwRetryPauseMs(dwRetryPauseMs) {}

void CHttpDownload::Notify(int nEvent, int nValue1, int nValue2) {
  if (m_pfnCallback) m_pfnCallback(nEvent, nValue1, nValue2, m_pParam->pUserData);
}

int CHttpDownload::Download() {
  LOGA(LOG_INFO, "Download....");
  time_t tStart = time(nullptr);
  Notify(kDownload_Begin, 0, 0);
  int nResult = DownloadImp();
  int nSeconds = static_cast<int>(time(nullptr) - tStart);
  LOGA(LOG_INFO, "HttpDownload,ret = %d (time = %d \xC3\xEB)", nResult, nSeconds);
  Notify(kDownload_End, nResult, nSeconds);
  return nResult;
}

int CHttpDownload::DownloadImp() {
  if (!CheckParam()) {
    LOGA(LOG_INFO, "ERR:CheckParam fail!");
    return kDownloadResult_BadParam;
  }
  if (!GetDownloadFileSize()) {
    LOGA(LOG_INFO, "ERR:GetDownloadFileSize fail!");
    return kDownloadResult_NoFileSize;
  }
  Notify(kDownload_FileSize, m_nFileSize, 0);
  if (!DownLoadContent()) {
    LOGA(LOG_INFO, "ERR:DownLoadContent fail!");
    return kDownloadResult_Failed;
  }
  return kDownloadResult_Ok;
}

bool CHttpDownload::CheckParam() {
  if (m_pParam->nDownloadThread <= 0) {
    LOGA(LOG_INFO, "ERR:invalid param (nDownloadThread = %d)", m_pParam->nDownloadThread);
    return false;
  }
  if (m_pParam->strDownloadUrl.empty()) {
    LOGA(LOG_INFO, "ERR:invalid param (strDownloadUrl)");
    return false;
  }
  m_pParam->strSavePath = NormalizeSavePath(m_pParam->strSavePath);
  std::wstring strFolder = SaveFolderOf(m_pParam->strSavePath);
  if (!strFolder.empty() && !PathFileExistsW(strFolder.c_str())) CreateFolderTree(strFolder);
  if (!PathFileExistsW(strFolder.c_str())) {
    LOGW(LOG_INFO, L"ERR:make dir (%s) fail!", strFolder.c_str());
    return false;
  }
  return true;
}

bool CHttpDownload::GetDownloadFileSize() {
  LOGA(LOG_INFO, "GetDownloadFileSize....");
  return QueryFileSize(m_pParam->strDownloadUrl, m_nFileSize);
}

bool CHttpDownload::DownLoadContent() {
  int nRequested = m_pParam->nDownloadThread;
  // Never more segments than bytes: a zero-length segment cannot be asked for.
  int nThreads = std::min({std::max(nRequested, 1), kMaxThreads, std::max(m_nFileSize, 1)});
  if (nThreads == nRequested)
    LOGA(LOG_INFO, "DownLoadContent: ThreadNum = %d", nThreads);
  else
    LOGA(LOG_INFO, "DownLoadContent: ThreadNum = %d (request thread num = %d)", nThreads,
         nRequested);
  int nPer = m_nFileSize / nThreads;

  CFilePtr file(_wfopen(m_pParam->strSavePath.c_str(), L"wb"));
  if (!file) {
    LOGW(LOG_INFO, L"ERR:Open file fail! (%s)", m_pParam->strSavePath.c_str());
    return false;
  }
  if (m_nFileSize == 0) return true;

  CCriticalSection lock;
  std::vector<DownloadThreadParam> segments(static_cast<size_t>(nThreads));
  std::vector<CHandle> threads;
  threads.reserve(segments.size());
  for (int i = 0; i < nThreads; ++i) {
    DownloadThreadParam& segment = segments[static_cast<size_t>(i)];
    segment.pOwner = this;
    segment.nStart = i * nPer;
    segment.nLength = (i == nThreads - 1) ? m_nFileSize - (nThreads - 1) * nPer : nPer;
    segment.nIndex = i;
    segment.pFile = file.get();
    segment.pLock = &lock.Get();
    HANDLE hThread = reinterpret_cast<HANDLE>(
        _beginthreadex(nullptr, 0, &CHttpDownload::DownloadThreadProc, &segment, 0, nullptr));
    // A segment without a thread stays failed; the others still run to their end.
    if (!hThread) {
      LOGA(LOG_INFO, "ERR:start thread for segment %d fail!", i);
      continue;
    }
    threads.emplace_back(hThread);
    DebugPrint("[%d] %d ~ %d,length = %d\n", i, segment.nStart,
               segment.nStart + segment.nLength - 1, segment.nLength);
  }

  std::vector<HANDLE> handles;
  for (const CHandle& thread : threads) handles.push_back(thread.Get());
  LOGA(LOG_INFO, "WaitForMultipleObjects...\n");
  DWORD dwWait = handles.empty() ? WAIT_FAILED
                                 : WaitForMultipleObjects(static_cast<DWORD>(handles.size()),
                                                          handles.data(), TRUE, INFINITE);
  LOGA(LOG_INFO, "WaitForMultipleObjects end! WaitRet=%d\n", static_cast<int>(dwWait));

  bool bAllOk = true;
  for (const DownloadThreadParam& segment : segments) bAllOk = bAllOk && segment.bResult;
  return bAllOk;
}

unsigned __stdcall CHttpDownload::DownloadThreadProc(void* pSegment) {
  DownloadThreadParam& segment = *static_cast<DownloadThreadParam*>(pSegment);
  segment.bResult = segment.pOwner->DownloadSegment(segment);
  if (segment.bResult)
    LOGW(LOG_INFO, L"[Thread][%d][%d] SUCCCESS!", static_cast<int>(GetCurrentThreadId()),
         segment.nIndex);
  return 0;
}

bool CHttpDownload::DownloadSegment(DownloadThreadParam& segment) {
  wchar_t szRange[64] = {};
  _snwprintf(szRange, 63, L"Range:bytes=%d-%d", segment.nStart,
             segment.nStart + segment.nLength - 1);
  int nThreadId = static_cast<int>(GetCurrentThreadId());
  LOGW(LOG_INFO, L"[Thread][%d][%d][%s] beging...", nThreadId, segment.nIndex, szRange);

  for (int nAttempt = 0;;) {
    int nType = ChooseRequestType(nAttempt);
    std::unique_ptr<CBaseRequest> request(CBaseRequest::CreateInstance(nType));
    if (!request) {
      LOGA(LOG_INFO, "ERR:CBaseRequest::CreateInstance fail!");
      continue;
    }
    request->m_nMaxConnsPerServer = kConnsPerServer;
    request->m_strHeaders = szRange;
    if (request->Request(m_pParam->strDownloadUrl) && IsWantedStatus(*request, segment) &&
        ReadUrlContent(*request, segment))
      return true;
    std::atomic<int>& nFailures = nType == kRequest_WinHttp ? g_nWinHttpFail : g_nInternetFail;
    ++nFailures;
    LOGA(LOG_INFO,
         "[Thread][%d][%d][%s] Request fail,  retry %d...(WinHttp fail:%d, Internet fail:%d)",
         nThreadId, segment.nIndex, request->GetTypeName(), nAttempt, g_nWinHttpFail.load(),
         g_nInternetFail.load());
    request.reset();
    if (nAttempt >= kLastAttempt) return false;
    Sleep(m_dwRetryPauseMs);
    ++nAttempt;
  }
}

// A range is answered by 206; a 200 carries the whole file, which is only
// this segment's body when the segment is the whole file.
bool CHttpDownload::IsWantedStatus(CBaseRequest& request, const DownloadThreadParam& segment) {
  int nStatus = 0;
  if (!request.GetStatusCode(nStatus)) return false;
  if (nStatus == 206) return IsWantedRange(request, segment);
  bool bWholeFile = segment.nStart == 0 && segment.nLength == m_nFileSize;
  if (nStatus == 200 && bWholeFile) return true;
  LOGA(LOG_INFO, "ERR:[%s] unexpected status %d for segment %d", request.GetTypeName(), nStatus,
       segment.nIndex);
  return false;
}

// The body is written at the offset that was asked for, so a 206 counts only
// when it says it carries exactly that range of the file that was sized; any
// other range (or a file of another size) would leave the installer silently
// corrupt.
bool CHttpDownload::IsWantedRange(CBaseRequest& request, const DownloadThreadParam& segment) {
  int nLast = segment.nStart + segment.nLength - 1;
  std::wstring strValue;
  if (request.GetContentRange(strValue) &&
      IsContentRangeOf(strValue, segment.nStart, nLast, m_nFileSize))
    return true;
  LOGA(LOG_INFO, "ERR:[%s] Content-Range \"%s\" is not bytes %d-%d/%d for segment %d",
       request.GetTypeName(), LoggableText(strValue).c_str(), segment.nStart, nLast, m_nFileSize,
       segment.nIndex);
  return false;
}

// Seek and write under the one lock, flushed around the write; a short write
// (a full disk) fails the attempt rather than leaving a hole in the file.
bool CHttpDownload::WriteChunk(DownloadThreadParam& segment, int nOffset, const char* pData,
                               int nSize) {
  CCritSecLock guard(*segment.pLock);
  if (fseek(segment.pFile, segment.nStart + nOffset, SEEK_SET) != 0) return false;
  fflush(segment.pFile);
  size_t nWritten = fwrite(pData, 1, static_cast<size_t>(nSize), segment.pFile);
  if (fflush(segment.pFile) != 0 || nWritten != static_cast<size_t>(nSize)) return false;
  m_nDownloadedSize += nSize;
  Notify(kDownload_Progress, m_nDownloadedSize, m_nFileSize);
  return true;
}

bool CHttpDownload::ReadUrlContent(CBaseRequest& request, DownloadThreadParam& segment) {
  std::unique_ptr<char[]> buffer(new char[kReadChunk]);
  int nGot = 0;
  int nRead = request.HttpRead(buffer.get(), kReadChunk);
  // A body longer than the segment would overwrite the next segment's bytes.
  while (nRead > 0 && nRead <= segment.nLength - nGot) {
    if (!WriteChunk(segment, nGot, buffer.get(), nRead)) break;
    nGot += nRead;
    nRead = request.HttpRead(buffer.get(), kReadChunk);
  }
  if (nRead <= 0 && nGot == segment.nLength) return true;

  {
    CCritSecLock guard(*segment.pLock);
    m_nDownloadedSize -= nGot;
  }
  int nReceived = nRead > 0 ? nGot + nRead : nGot;
  LOGA(LOG_INFO, "ERR:[%s] download Fail ,dstSize: %d !=  downloadingSize: %d)",
       request.GetTypeName(), segment.nLength, nReceived);
  return false;
}
