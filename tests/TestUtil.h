#pragma once

// Helpers shared by the test exes: host paths seen from Wine, scratch
// folders, whole-file reads and child processes.
#include <windows.h>

#include <string>
#include <vector>

namespace testutil {

// A Linux path of the build host as Wine sees it ("/work/x" -> "Z:\work\x").
inline std::wstring HostPath(const std::string& strPath) {
  std::wstring strOut = L"Z:";
  for (char ch : strPath) strOut.push_back(ch == '/' ? L'\\' : static_cast<wchar_t>(ch));
  return strOut;
}

inline std::wstring BinaryDir() {
  return HostPath(NORLET_BINARY_DIR);
}
inline std::wstring SourceDir() {
  return HostPath(NORLET_SOURCE_DIR);
}
inline std::wstring HelperExe(const wchar_t* pszName) {
  return BinaryDir() + L"\\tests\\helpers\\" + pszName;
}

inline void RemoveTree(const std::wstring& strPath) {
  WIN32_FIND_DATAW data;
  HANDLE hFind = FindFirstFileW((strPath + L"\\*").c_str(), &data);
  if (hFind != INVALID_HANDLE_VALUE) {
    do {
      std::wstring strName = data.cFileName;
      if (strName == L"." || strName == L"..") continue;
      std::wstring strChild = strPath + L"\\" + strName;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(strChild);
      else
        DeleteFileW(strChild.c_str());
    } while (FindNextFileW(hFind, &data));
    FindClose(hFind);
  }
  RemoveDirectoryW(strPath.c_str());
}

// A fresh, empty folder under the system temp folder; removed with the object.
class CScratchDir {
 public:
  explicit CScratchDir(const wchar_t* pszTag = L"t") {
    wchar_t szTemp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, szTemp);
    static LONG s_nCounter = 0;
    wchar_t szName[64];
    _snwprintf(szName, 64, L"norlet_%s_%lu_%ld", pszTag, GetCurrentProcessId(),
               InterlockedIncrement(&s_nCounter));
    m_strPath = std::wstring(szTemp) + szName;
    RemoveTree(m_strPath);
    CreateDirectoryW(m_strPath.c_str(), nullptr);
  }
  ~CScratchDir() { RemoveTree(m_strPath); }
  CScratchDir(const CScratchDir&) = delete;
  CScratchDir& operator=(const CScratchDir&) = delete;
  const std::wstring& Path() const { return m_strPath; }
  std::wstring operator/(const std::wstring& strName) const { return m_strPath + L"\\" + strName; }

 private:
  std::wstring m_strPath;
};

inline bool ReadFileBytes(const std::wstring& strPath, std::string& strOut) {
  HANDLE hFile = CreateFileW(strPath.c_str(), GENERIC_READ,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
  if (hFile == INVALID_HANDLE_VALUE) return false;
  strOut.clear();
  char buf[65536];
  DWORD dwRead = 0;
  while (ReadFile(hFile, buf, sizeof(buf), &dwRead, nullptr) && dwRead) strOut.append(buf, dwRead);
  CloseHandle(hFile);
  return true;
}

inline bool WriteFileBytes(const std::wstring& strPath, const std::string& strData) {
  HANDLE hFile = CreateFileW(strPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (hFile == INVALID_HANDLE_VALUE) return false;
  DWORD dwWritten = 0;
  BOOL bOk =
      WriteFile(hFile, strData.data(), static_cast<DWORD>(strData.size()), &dwWritten, nullptr);
  CloseHandle(hFile);
  return bOk && dwWritten == strData.size();
}

inline bool PathExists(const std::wstring& strPath) {
  return GetFileAttributesW(strPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Starts a program with the given argument string; returns its exit code, or
// -1 when it could not be started or did not end within dwTimeoutMs.
inline int RunAndWait(const std::wstring& strExe, const std::wstring& strArgs,
                      DWORD dwTimeoutMs = 60000) {
  std::wstring strCommand = L"\"" + strExe + L"\" " + strArgs;
  std::vector<wchar_t> commandLine(strCommand.begin(), strCommand.end());
  commandLine.push_back(L'\0');
  STARTUPINFOW si = {};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessW(strExe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &si, &pi))
    return -1;
  CloseHandle(pi.hThread);
  DWORD dwExit = static_cast<DWORD>(-1);
  if (WaitForSingleObject(pi.hProcess, dwTimeoutMs) == WAIT_OBJECT_0)
    GetExitCodeProcess(pi.hProcess, &dwExit);
  else
    TerminateProcess(pi.hProcess, 1);
  CloseHandle(pi.hProcess);
  return static_cast<int>(dwExit);
}

}  // namespace testutil
