// Stays alive for the number of milliseconds in its first argument (default
// 60000), or writes its command line to the file named by the second.
#include <windows.h>

#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t** argv) {
  DWORD dwMs = argc > 1 ? static_cast<DWORD>(wcstoul(argv[1], nullptr, 10)) : 60000;
  if (argc > 2) {
    FILE* pFile = _wfopen(argv[2], L"wb");
    if (pFile) {
      const wchar_t* pszLine = GetCommandLineW();
      fwrite(pszLine, sizeof(wchar_t), wcslen(pszLine), pFile);
      fclose(pFile);
    }
  }
  Sleep(dwMs);
  return 0;
}
