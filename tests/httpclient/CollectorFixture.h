#pragma once

// Access to tools/testserver/collector.py for server cases. The driver
// (tools/testserver/run-with-collector.sh) starts it and names its log folder
// in NORLET_TEST_SERVER; without that variable the server cases skip.
#include <stdlib.h>
#include <windows.h>

#include <string>
#include <vector>

#include "TestUtil.h"

#define SKIP_WITHOUT_COLLECTOR()                                            \
  do {                                                                      \
    if (CollectorLogDir().empty()) GTEST_SKIP() << "collector not running"; \
  } while (0)

inline const wchar_t kCollectorHttp[] = L"http://localhost:8080";
inline const wchar_t kCollectorHttps[] = L"https://localhost";

// The Linux log folder as seen from Wine ("Z:" plus backslashes).
inline std::wstring CollectorLogDir() {
  const wchar_t* pszDir = _wgetenv(L"NORLET_TEST_SERVER");
  if (!pszDir || !*pszDir) return std::wstring();
  std::wstring strDir = std::wstring(L"Z:") + pszDir;
  for (wchar_t& ch : strDir) {
    if (ch == L'/') ch = L'\\';
  }
  return strDir;
}

inline std::string ReadWholeFile(const std::wstring& strPath) {
  std::string strData;
  testutil::ReadFileBytes(strPath, strData);
  return strData;
}

// Head and body of the last request the collector received.
inline std::string LastRequest() {
  return ReadWholeFile(CollectorLogDir() + L"\\last.req");
}
inline void ForgetLastRequest() {
  DeleteFileW((CollectorLogDir() + L"\\last.req").c_str());
}

// One "<connection> <method> <target>" line per request, oldest first.
inline std::vector<std::string> RequestLog() {
  std::vector<std::string> lines;
  std::string strLog = ReadWholeFile(CollectorLogDir() + L"\\requests.log");
  size_t nStart = 0;
  for (size_t nEnd; (nEnd = strLog.find('\n', nStart)) != std::string::npos; nStart = nEnd + 1) {
    lines.push_back(strLog.substr(nStart, nEnd - nStart));
  }
  return lines;
}

// The collector's body pattern for /bytes/N and friends.
inline std::string PatternBytes(size_t nSize) {
  std::string strData(nSize, '\0');
  for (size_t i = 0; i < nSize; ++i) strData[i] = static_cast<char>(i % 251);
  return strData;
}
