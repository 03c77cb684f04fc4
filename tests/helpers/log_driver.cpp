// Runs one log scenario in a process of its own, since the log facility is
// set up once per process. Usage: log_driver SCENARIO FOLDER [COUNT]
//   twoinit  InitLog("first.log", FOLDER), then InitLog("second.log", FOLDER), one record
//   early    one record, then InitLog("late.log", FOLDER), another record
//   roll     InitLog("norlet_down.log", FOLDER), then COUNT records of 1000 characters
#include <windows.h>

#include <cwchar>
#include <string>

#include "log/Log.h"

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  std::wstring strScenario = argv[1];
  const wchar_t* pszFolder = argv[2];
  if (strScenario == L"twoinit") {
    InitLog(L"first.log", pszFolder);
    InitLog(L"second.log", pszFolder);
    LOGA(LOG_INFO, "after two InitLog calls");
    return 0;
  }
  if (strScenario == L"early") {
    LOGA(LOG_INFO, "before InitLog");
    InitLog(L"late.log", pszFolder);
    LOGA(LOG_INFO, "after InitLog");
    return 0;
  }
  if (strScenario == L"roll" && argc > 3) {
    InitLog(L"norlet_down.log", pszFolder);
    long nCount = wcstol(argv[3], nullptr, 10);
    std::string strPadding(990, 'x');
    for (long i = 0; i < nCount; ++i) LOGA(LOG_INFO, "%08ld %s", i, strPadding.c_str());
    return 0;
  }
  return 2;
}
