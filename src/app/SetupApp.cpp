#include "app/SetupApp.h"

#include "common/SafeDll.h"
#include "common/SysInfo.h"
#include "log/Log.h"

int RunSetupApp(HINSTANCE hInstance, int nCmdShow) {
  RestrictDllSearchPath();
  std::wstring strWorkingFolder = GetWorkingFolder();
  InitLog(L"norlet_down.log", (strWorkingFolder + L"Log").c_str());

  wchar_t szExe[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, szExe, MAX_PATH);
  LOGW(LOG_INFO, L"downloader version:%s", GetFileVersionString(szExe).c_str());
  LOGW(LOG_INFO, L"Windows Version:%s", GetWindowsProductName().c_str());
  LOGW(LOG_INFO, L"Windows Bit:%s", IsWindows64Bit() ? L"x64" : L"x86");
  return 0;
}
