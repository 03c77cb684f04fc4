#pragma once

// Access to the servers that tools/testserver/servers.py starts around the
// test exe: nginx as "localhost" and the fault server as faults.test,
// plain.test and untrusted.test. Without them the server tests skip.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include "TestUtil.h"
#include "download/HttpDownload.h"

namespace dltest {

inline std::string ServerDirHost() {
  const char* pszDir = getenv("NORLET_TESTSERVER_DIR");
  return pszDir ? pszDir : "";
}

inline bool HaveServers() {
  return !ServerDirHost().empty();
}

#define REQUIRE_SERVERS()                                \
  if (!dltest::HaveServers()) {                          \
    GTEST_SKIP() << "needs tools/testserver/servers.py"; \
  }                                                      \
  static_assert(true, "")

inline std::wstring ServerPath(const std::string& strRelative) {
  return testutil::HostPath(ServerDirHost() + "/" + strRelative);
}

inline std::string ServedFile(int nSize) {
  std::string strData;
  testutil::ReadFileBytes(ServerPath("www/" + std::to_string(nSize) + ".bin"), strData);
  return strData;
}

// A name no other test uses, to pick one test's lines out of the server logs.
inline std::string UniqueTag(const char* pszName) {
  static LONG s_nCounter = 0;
  return std::string(pszName) + "-" + std::to_string(GetCurrentProcessId()) + "-" +
         std::to_string(InterlockedIncrement(&s_nCounter));
}

inline std::wstring Widen(const std::string& str) {
  return std::wstring(str.begin(), str.end());
}

// One request as the fault server logged it.
struct FaultRequest {
  int nPort = 0;
  std::string strMethod;
  std::string strRange;
};

inline std::string JsonField(const std::string& strLine, const std::string& strName) {
  std::string strKey = "\"" + strName + "\": ";
  size_t nPos = strLine.find(strKey);
  if (nPos == std::string::npos) return "";
  nPos += strKey.size();
  if (strLine[nPos] == '"') {
    size_t nEnd = strLine.find('"', nPos + 1);
    return strLine.substr(nPos + 1, nEnd - nPos - 1);
  }
  size_t nEnd = strLine.find_first_of(",}", nPos);
  return strLine.substr(nPos, nEnd - nPos);
}

inline std::vector<std::string> LogLines(const std::string& strRelative,
                                         const std::string& strTag) {
  std::string strLog;
  testutil::ReadFileBytes(ServerPath(strRelative), strLog);
  std::vector<std::string> lines;
  size_t nStart = 0;
  while (nStart < strLog.size()) {
    size_t nEnd = strLog.find('\n', nStart);
    if (nEnd == std::string::npos) nEnd = strLog.size();
    std::string strLine = strLog.substr(nStart, nEnd - nStart);
    if (strLine.find("/" + strTag + "/") != std::string::npos ||
        strLine.find("t=" + strTag + "\"") != std::string::npos)
      lines.push_back(strLine);
    nStart = nEnd + 1;
  }
  return lines;
}

inline std::vector<FaultRequest> FaultRequests(const std::string& strTag) {
  std::vector<FaultRequest> requests;
  for (const std::string& strLine : LogLines("faults.log", strTag)) {
    FaultRequest request;
    request.nPort = atoi(JsonField(strLine, "port").c_str());
    request.strMethod = JsonField(strLine, "method");
    request.strRange = JsonField(strLine, "range");
    requests.push_back(request);
  }
  return requests;
}

// nginx lines: port method "uri" "range" status bytes; the URI carries ?t=<tag>.
inline std::vector<std::string> NginxLines(const std::string& strTag) {
  return LogLines("nginx/access.log", strTag);
}

// This exe's own log (the log facility's default place beside the exe).
inline std::string OwnLog() {
  wchar_t szExe[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, szExe, MAX_PATH);
  std::wstring strPath = szExe;
  strPath = strPath.substr(0, strPath.rfind(L'\\')) + L"\\Log\\test_download.log";
  std::string strLog;
  testutil::ReadFileBytes(strPath, strLog);
  return strLog;
}

inline bool OwnLogHas(const std::string& strText) {
  return OwnLog().find(strText) != std::string::npos;
}

// Every callback of one run, with the thread it came on.
struct DownloadEventRecord {
  int nEvent;
  int nValue1;
  int nValue2;
  DWORD dwThreadId;
};

class CEventRecorder {
 public:
  static void Callback(int nEvent, int nValue1, int nValue2, void* pUserData) {
    auto* pThis = static_cast<CEventRecorder*>(pUserData);
    std::lock_guard<std::mutex> guard(pThis->m_lock);
    pThis->m_events.push_back({nEvent, nValue1, nValue2, GetCurrentThreadId()});
  }
  std::vector<DownloadEventRecord> Events() {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_events;
  }

 private:
  std::mutex m_lock;
  std::vector<DownloadEventRecord> m_events;
};

// Runs one download with a short retry pause and records its callbacks.
struct DownloadRun {
  int nResult = 1;
  std::vector<DownloadEventRecord> events;
  std::string strFile;
};

inline DownloadRun RunDownload(const std::wstring& strUrl, int nThreads,
                               const std::wstring& strSavePath, DWORD dwPauseMs = 5) {
  CEventRecorder recorder;
  HttpDownloadParam param;
  param.nDownloadThread = nThreads;
  param.pUserData = &recorder;
  param.strDownloadUrl = strUrl;
  param.strSavePath = strSavePath;
  CHttpDownload download(param, &CEventRecorder::Callback, dwPauseMs);
  DownloadRun run;
  run.nResult = download.Download();
  run.events = recorder.Events();
  testutil::ReadFileBytes(param.strSavePath, run.strFile);
  return run;
}

}  // namespace dltest
