#include "common/SafeDll.h"

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

void RestrictDllSearchPath() {
  // Looked up at run time: older systems without the update lack it.
  using PFN_SetDefaultDllDirectories = BOOL(WINAPI*)(DWORD);
  HMODULE hKernel = GetModuleHandleW(L"kernel32.dll");
  auto pfn = reinterpret_cast<PFN_SetDefaultDllDirectories>(
      reinterpret_cast<void*>(GetProcAddress(hKernel, "SetDefaultDllDirectories")));
  if (pfn) pfn(LOAD_LIBRARY_SEARCH_SYSTEM32);
  // Without it, at least take the current folder out of the search.
  SetDllDirectoryW(L"");
}

HMODULE LoadSystemLibrary(const wchar_t* pszName) {
  HMODULE hModule = LoadLibraryExW(pszName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (hModule || GetLastError() != ERROR_INVALID_PARAMETER) return hModule;
  // Systems that do not know the flag: build the full system path ourselves.
  wchar_t szPath[MAX_PATH] = {};
  UINT n = GetSystemDirectoryW(szPath, MAX_PATH);
  if (n == 0 || n + 1 + lstrlenW(pszName) >= MAX_PATH) return nullptr;
  lstrcatW(szPath, L"\\");
  lstrcatW(szPath, pszName);
  return LoadLibraryExW(szPath, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

FARPROC GetSystemProcAddress(const wchar_t* pszDll, const char* pszFunction) {
  HMODULE hModule = GetModuleHandleW(pszDll);
  if (!hModule) hModule = LoadSystemLibrary(pszDll);
  return hModule ? GetProcAddress(hModule, pszFunction) : nullptr;
}
