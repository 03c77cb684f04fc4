// Times one segmented download for bench/download_bench.py:
//   download_bench.exe URL THREADS SAVE_PATH
// The setup program asks for the size (GetHttpFileSize) before it downloads,
// so the process has loaded both stacks and the TLS roots by then; this does
// the same and prints "size_ms=<first size query> result=<code> ms=<download>".
#include <windows.h>

#include <cstdio>
#include <cwchar>

#include "download/HttpDownload.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) {
    fwprintf(stderr, L"usage: download_bench URL THREADS SAVE_PATH\n");
    return 2;
  }
  HttpDownloadParam param;
  param.strDownloadUrl = argv[1];
  param.nDownloadThread = _wtoi(argv[2]);
  param.strSavePath = argv[3];
  LARGE_INTEGER freq, start, sized, end;
  QueryPerformanceFrequency(&freq);
  QueryPerformanceCounter(&start);
  GetHttpFileSize(param.strDownloadUrl);
  QueryPerformanceCounter(&sized);
  CHttpDownload download(param, nullptr);
  int nResult = download.Download();
  QueryPerformanceCounter(&end);
  auto toMs = [&freq](const LARGE_INTEGER& a, const LARGE_INTEGER& b) {
    return 1000.0 * static_cast<double>(b.QuadPart - a.QuadPart) /
           static_cast<double>(freq.QuadPart);
  };
  printf("size_ms=%.0f result=%d ms=%.0f\n", toMs(start, sized), nResult, toMs(sized, end));
  return nResult == 0 ? 0 : 1;
}
