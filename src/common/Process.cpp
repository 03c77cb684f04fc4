#include "common/Process.h"

#include <shellapi.h>
#include <tlhelp32.h>

#include <vector>

#include "common/SafeDll.h"
#include "common/ScopedWin.h"

bool FindProcessByName(const std::wstring& strName, DWORD& dwProcessId) {
  wchar_t szName[64] = {};
  lstrcpynW(szName, strName.c_str(), 64);
  CFileHandle hSnapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!hSnapshot.IsValid()) return false;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof(entry);
  for (BOOL bMore = Process32FirstW(hSnapshot, &entry); bMore;
       bMore = Process32NextW(hSnapshot, &entry)) {
    if (lstrcmpW(entry.szExeFile, szName) == 0) {
      dwProcessId = entry.th32ProcessID;
      return true;
    }
  }
  return false;
}

bool KillProcessById(DWORD dwProcessId) {
  const DWORD dwAccess = PROCESS_TERMINATE | PROCESS_CREATE_THREAD | PROCESS_VM_OPERATION |
                         PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION;
  CHandle hProcess(OpenProcess(dwAccess, FALSE, dwProcessId));
  if (!hProcess.IsValid()) return false;
  // A process that has ended can linger while someone holds a handle to it;
  // it is gone all the same.
  DWORD dwExitCode = 0;
  if (GetExitCodeProcess(hProcess, &dwExitCode) && dwExitCode != STILL_ACTIVE) return false;
  return TerminateProcess(hProcess, 0) != FALSE;
}

void ShellOpen(HWND hWnd, const std::wstring& strTarget) {
  ShellExecuteW(hWnd, L"Open", strTarget.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

// CreateProcess may write into the command line it is given.
static std::vector<wchar_t> WritableCopy(const std::wstring& str) {
  std::vector<wchar_t> buf(str.begin(), str.end());
  buf.push_back(L'\0');
  return buf;
}

std::wstring BuildInstallerCommandLine(const std::wstring& strInstallFolder,
                                       const std::wstring& strProgressFile) {
  return L" /verysilent /norlet_down /wait_run /path=\"" + strInstallFolder + L"\" /progress=\"" +
         strProgressFile + L"\"";
}

bool RunSilentInstaller(const std::wstring& strInstallerPath, const std::wstring& strInstallFolder,
                        const std::wstring& strProgressFile) {
  std::vector<wchar_t> commandLine =
      WritableCopy(BuildInstallerCommandLine(strInstallFolder, strProgressFile));
  STARTUPINFOW si = {};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessW(strInstallerPath.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                      CREATE_SUSPENDED, nullptr, nullptr, &si, &pi))
    return false;
  CHandle hProcess(pi.hProcess);
  CHandle hThread(pi.hThread);
  ResumeThread(hThread);
  WaitForSingleObject(hProcess, INFINITE);
  return true;
}

// Our own token with the Administrators group made deny-only and the
// privileges of a standard user (LUA_TOKEN): the same split the system makes
// for an administrator who has not elevated.
static bool CreateNormalUserToken(CHandle& hToken) {
  CHandle hOwn;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_DUPLICATE | TOKEN_QUERY | TOKEN_ASSIGN_PRIMARY,
                        hOwn.Receive()))
    return false;
  SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
  PSID pAdmins = nullptr;
  if (!AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, &pAdmins))
    return false;
  SID_AND_ATTRIBUTES disable = {pAdmins, 0};
  BOOL bOk =
      CreateRestrictedToken(hOwn, LUA_TOKEN, 1, &disable, 0, nullptr, 0, nullptr, hToken.Receive());
  FreeSid(pAdmins);
  return bOk != FALSE;
}

bool RunProgramAsNormalUser(const std::wstring& strPath) {
  CHandle hToken;
  if (!CreateNormalUserToken(hToken)) return false;
  std::vector<wchar_t> commandLine = WritableCopy(L"\"" + strPath + L"\"");
  STARTUPINFOW si = {};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessAsUserW(hToken, strPath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                            nullptr, nullptr, &si, &pi))
    return false;
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return true;
}

void RunProgram(const std::wstring& strPath, bool bWithCurrentRights) {
  if (bWithCurrentRights) {
    SHELLEXECUTEINFOW sei = {};
    sei.cbSize = sizeof(sei);
    sei.lpVerb = L"open";
    sei.lpFile = strPath.c_str();
    sei.lpParameters = L"";
    sei.nShow = SW_SHOWNORMAL;
    ShellExecuteExW(&sei);
    return;
  }
  using PFN_WdcRunTaskAsInteractiveUser = HRESULT(WINAPI*)(LPCWSTR, LPCWSTR, DWORD);
  auto pfn = reinterpret_cast<PFN_WdcRunTaskAsInteractiveUser>(
      reinterpret_cast<void*>(GetSystemProcAddress(L"wdc.dll", "WdcRunTaskAsInteractiveUser")));
  if (pfn && SUCCEEDED(pfn(strPath.c_str(), nullptr, 57))) return;
  // Never fall back to our own (elevated) rights.
  RunProgramAsNormalUser(strPath);
}
