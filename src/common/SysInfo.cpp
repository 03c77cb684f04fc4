#include "common/SysInfo.h"

#include <shlobj.h>

#include <cstdio>
#include <vector>

#include "common/SafeDll.h"
#include "common/ScopedWin.h"

std::wstring GetProgramFilesFolder() {
  wchar_t szPath[MAX_PATH + 1] = {};
  LPITEMIDLIST pidl = nullptr;
  if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_PROGRAM_FILES, &pidl)) && pidl) {
    SHGetPathFromIDListW(pidl, szPath);
    CoTaskMemFree(pidl);
  }
  return std::wstring(szPath) + L"\\";
}

std::wstring WorkingFolderNameFromPath(const std::wstring& strExePath) {
  std::wstring strName = strExePath;
  for (auto& ch : strName) {
    if (ch == L'/') ch = L'\\';
  }
  size_t nSlash = strName.rfind(L'\\');
  if (nSlash != std::wstring::npos) strName.erase(0, nSlash + 1);
  size_t nDot = strName.rfind(L'.');
  if (nDot != std::wstring::npos) strName.erase(nDot);
  return strName;
}

std::wstring GetWorkingFolder() {
  wchar_t szExe[MAX_PATH + 1] = {};
  GetModuleFileNameW(nullptr, szExe, MAX_PATH);
  return GetProgramFilesFolder() + L"norlet_down\\" + WorkingFolderNameFromPath(szExe) + L"\\";
}

DWORD BytesToMegabytes(ULONGLONG ullBytes) {
  ULONGLONG ullMegabytes = ullBytes >> 20;
  return ullMegabytes > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<DWORD>(ullMegabytes);
}

bool GetFreeDiskSpaceMB(const std::wstring& strRoot, DWORD& dwMegabytes) {
  ULARGE_INTEGER available = {}, total = {}, totalFree = {};
  if (!GetDiskFreeSpaceExW(strRoot.c_str(), &available, &total, &totalFree)) return false;
  dwMegabytes = BytesToMegabytes(totalFree.QuadPart);
  return true;
}

std::wstring GetFileVersionString(const std::wstring& strPath) {
  DWORD dwHandle = 0;
  DWORD dwSize = GetFileVersionInfoSizeW(strPath.c_str(), &dwHandle);
  if (dwSize == 0) return std::wstring();
  std::vector<BYTE> data(dwSize);
  if (!GetFileVersionInfoW(strPath.c_str(), 0, dwSize, data.data())) return std::wstring();
  void* pTranslation = nullptr;
  UINT nLen = 0;
  if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", &pTranslation, &nLen) ||
      nLen == 0)
    return std::wstring();
  VS_FIXEDFILEINFO* pInfo = nullptr;
  if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&pInfo), &nLen) || !pInfo)
    return std::wstring();
  wchar_t szVersion[64];
  _snwprintf(szVersion, 64, L"%d.%d.%d.%d", HIWORD(pInfo->dwFileVersionMS),
             LOWORD(pInfo->dwFileVersionMS), HIWORD(pInfo->dwFileVersionLS),
             LOWORD(pInfo->dwFileVersionLS));
  return szVersion;
}

std::wstring GetWindowsProductName() {
  CRegKey key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", 0,
                    KEY_READ | KEY_WOW64_64KEY, key.Receive()) != ERROR_SUCCESS)
    return std::wstring();
  wchar_t szName[1024 + 1] = {};
  DWORD dwBytes = 2048;
  DWORD dwType = 0;
  if (RegQueryValueExW(key, L"ProductName", nullptr, &dwType, reinterpret_cast<BYTE*>(szName),
                       &dwBytes) != ERROR_SUCCESS ||
      (dwType != REG_SZ && dwType != REG_EXPAND_SZ))
    return std::wstring();
  return szName;
}

bool IsWindows64Bit() {
  using PFN_GetNativeSystemInfo = void(WINAPI*)(LPSYSTEM_INFO);
  auto pfn = reinterpret_cast<PFN_GetNativeSystemInfo>(
      reinterpret_cast<void*>(GetSystemProcAddress(L"kernel32.dll", "GetNativeSystemInfo")));
  if (!pfn) return false;
  SYSTEM_INFO info = {};
  pfn(&info);
  return info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ||
         info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_IA64;
}

std::wstring GetUserUILanguageId() {
  wchar_t szId[16];
  _snwprintf(szId, 16, L"%d", static_cast<int>(GetUserDefaultUILanguage()));
  return szId;
}

std::wstring ReadIniString(const std::wstring& strFile, const std::wstring& strSection,
                           const std::wstring& strKey) {
  wchar_t szValue[256] = {};
  DWORD n = GetPrivateProfileStringW(strSection.c_str(), strKey.c_str(), L"", szValue, 256,
                                     strFile.c_str());
  return n ? std::wstring(szValue, n) : std::wstring();
}

bool ReadIniSection(const std::wstring& strFile, const std::wstring& strSection,
                    std::map<std::wstring, std::wstring>& mapValues) {
  std::vector<wchar_t> buf(4096, L'\0');
  DWORD n = GetPrivateProfileSectionW(strSection.c_str(), buf.data(),
                                      static_cast<DWORD>(buf.size()), strFile.c_str());
  // The system ends the data with a double NUL; stay inside what it filled.
  const wchar_t* p = buf.data();
  const wchar_t* pEnd = buf.data() + (n < buf.size() ? n : buf.size() - 1);
  while (p < pEnd && *p) {
    std::wstring strLine(p);
    p += strLine.size() + 1;
    size_t nEq = strLine.find(L'=');
    if (nEq == std::wstring::npos)
      mapValues[strLine] = std::wstring();
    else
      mapValues[strLine.substr(0, nEq)] = strLine.substr(nEq + 1);
  }
  return true;
}

bool FileExists(const std::wstring& strPath) {
  FILE* pFile = _wfopen(strPath.c_str(), L"rt");
  if (!pFile) return false;
  fclose(pFile);
  return true;
}
