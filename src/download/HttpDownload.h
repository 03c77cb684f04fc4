#pragma once

// Segmented download of one file: a size query, then 1 to 64 worker threads
// that each fetch one byte range into the shared file, retrying over the
// other HTTP stack when a request fails.
#include <windows.h>

#include <string>

struct HttpDownloadParam {
  int nDownloadThread = 5;
  void* pUserData = nullptr;
  std::wstring strDownloadUrl;
  std::wstring strSavePath;
};

enum DownloadEvent {
  kDownload_Begin = 0,     // caller's thread, values 0, 0
  kDownload_FileSize = 1,  // caller's thread, file size, 0
  kDownload_Progress = 2,  // a worker inside the write lock: bytes written so far, file size
  kDownload_End = 3,       // caller's thread: result code, elapsed seconds
};

enum DownloadResult {
  kDownloadResult_Ok = 0,
  kDownloadResult_BadParam = -1,
  kDownloadResult_NoFileSize = -3,
  kDownloadResult_Failed = -4,
};

typedef void (*DownloadCallback)(int nEvent, int nValue1, int nValue2, void* pUserData);

// Runs a whole download on the calling thread; true only for kDownloadResult_Ok.
bool HttpDownload(HttpDownloadParam& param, DownloadCallback pfnCallback);

// The remote size of strUrl; 0 when no size can be read.
int GetHttpFileSize(const std::wstring& strUrl);

// Failures per request stack (kRequest_ type), shared by every download in the
// process: retries prefer the stack that has failed less.
int GetRequestFailCount(int nType);
// Tests start from known counts; the program itself never resets them.
void SetRequestFailCounts(int nWinHttp, int nInternet);

struct DownloadThreadParam;
class CBaseRequest;

class CHttpDownload {
 public:
  static constexpr DWORD kDefaultRetryPauseMs = 2000;

  CHttpDownload(HttpDownloadParam& param, DownloadCallback pfnCallback,
                DWORD dwRetryPauseMs = kDefaultRetryPauseMs);
  CHttpDownload(const CHttpDownload&) = delete;
  CHttpDownload& operator=(const CHttpDownload&) = delete;

  // A DownloadResult code; the callback sees begin, size, progress... and end.
  int Download();

 private:
  int DownloadImp();
  bool CheckParam();
  bool GetDownloadFileSize();
  bool DownLoadContent();
  static unsigned __stdcall DownloadThreadProc(void* pSegment);
  bool DownloadSegment(DownloadThreadParam& segment);
  bool IsWantedStatus(CBaseRequest& request, const DownloadThreadParam& segment);
  bool IsWantedRange(CBaseRequest& request, const DownloadThreadParam& segment);
  bool ReadUrlContent(CBaseRequest& request, DownloadThreadParam& segment);
  bool WriteChunk(DownloadThreadParam& segment, int nOffset, const char* pData, int nSize);
  void Notify(int nEvent, int nValue1, int nValue2);

  HttpDownloadParam* m_pParam;
  DownloadCallback m_pfnCallback;
  int m_nFileSize = 0;
  int m_nDownloadedSize = 0;
  DWORD m_dwRetryPauseMs;
};
