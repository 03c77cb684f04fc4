// A stand-in for a DLL that an attacker drops beside a downloaded setup
// program. If it is ever loaded, it leaves a marker file in its own folder.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID) {
  if (dwReason != DLL_PROCESS_ATTACH) return TRUE;
  wchar_t szPath[MAX_PATH] = {};
  DWORD n = GetModuleFileNameW(hInstance, szPath, MAX_PATH);
  while (n > 0 && szPath[n - 1] != L'\\') --n;
  lstrcpyW(szPath + n, L"planted-dll-loaded.txt");
  HANDLE hFile = CreateFileW(szPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (hFile != INVALID_HANDLE_VALUE) CloseHandle(hFile);
  return TRUE;
}
