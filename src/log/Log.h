#pragma once

#include <string>

// Levels of WriteLogA/WriteLogW; any other number writes nothing.
enum {
  LOG_DEBUG = 0,
  LOG_INFO = 1,
  LOG_WARN = 2,
  LOG_ERROR = 3,
};

// Sets the facility up once per process. A null or empty argument takes the
// default: "<exe folder>\Log" and "<module base name>.log". Later calls, and
// calls after the first record, change nothing.
void InitLog(const wchar_t* pszFileName = nullptr, const wchar_t* pszFolder = nullptr);

// printf-style records. The function and source file only appear in the record
// that replaces a message whose formatting failed.
void WriteLogA(const char* pszFunction, const char* pszSourceFile, int nLine, int nLevel,
               const char* pszFormat, ...) __attribute__((format(ms_printf, 5, 6)));
void WriteLogW(const wchar_t* pszFunction, const wchar_t* pszSourceFile, int nLine, int nLevel,
               const wchar_t* pszFormat, ...);

// Widens a compiler-supplied function signature for WriteLogW call sites.
std::wstring LogWidenFunction(const char* pszFunction);

#define LOGA(level, format, ...) \
  WriteLogA(__PRETTY_FUNCTION__, __FILE__, __LINE__, level, format, ##__VA_ARGS__)
#define LOGW(level, format, ...)                                                                  \
  WriteLogW(LogWidenFunction(__PRETTY_FUNCTION__).c_str(), L"" __FILE__, __LINE__, level, format, \
            ##__VA_ARGS__)
