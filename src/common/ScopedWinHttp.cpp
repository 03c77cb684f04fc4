#include <windows.h>
#include <winhttp.h>

#include "common/ScopedWin.h"

void CWinHttpTraits::Close(void* h) {
  ::WinHttpCloseHandle(h);
}
