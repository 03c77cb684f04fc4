#include <windows.h>
#include <wininet.h>

#include "common/ScopedWin.h"

void CWinInetTraits::Close(void* h) {
  ::InternetCloseHandle(h);
}
