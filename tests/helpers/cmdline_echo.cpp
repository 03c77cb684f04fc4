// Stands in for an installer: writes its own command line (UTF-16) to the
// file named by the environment variable NORLET_ECHO_FILE, then ends.
#include <windows.h>

#include <cstdio>
#include <cwchar>

int wmain() {
  wchar_t szFile[MAX_PATH] = {};
  if (!GetEnvironmentVariableW(L"NORLET_ECHO_FILE", szFile, MAX_PATH)) return 2;
  FILE* pFile = _wfopen(szFile, L"wb");
  if (!pFile) return 3;
  const wchar_t* pszLine = GetCommandLineW();
  fwrite(pszLine, sizeof(wchar_t), wcslen(pszLine), pFile);
  fclose(pFile);
  return 0;
}
