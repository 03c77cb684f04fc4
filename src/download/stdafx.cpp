#include "download/stdafx.h"

#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "common/SafeDll.h"
#include "log/Log.h"

namespace {

std::string FormatV(const char* pszFormat, va_list args) {
  va_list copy;
  va_copy(copy, args);
  int n = vsnprintf(nullptr, 0, pszFormat, copy);
  va_end(copy);
  if (n <= 0) return std::string();
  std::vector<char> buf(static_cast<size_t>(n) + 1);
  vsnprintf(buf.data(), buf.size(), pszFormat, args);
  return std::string(buf.data(), static_cast<size_t>(n));
}

std::string Format(const char* pszFormat, ...) {
  va_list args;
  va_start(args, pszFormat);
  std::string strText = FormatV(pszFormat, args);
  va_end(args);
  return strText;
}

void ShowAssertDialog(const char* pszCondition, const char* pszFunction, int nLine,
                      const std::string& strMessage) {
  std::string strText = Format("Assert(%s);\n (in function %s,at line %d)\n is Debug?\n%s\n",
                               pszCondition, pszFunction, nLine, strMessage.c_str());
  int nAnswer = MessageBoxA(nullptr, strText.c_str(), "AssertError!", MB_YESNO);
  if (nAnswer == IDYES && IsDebuggerPresent()) DebugBreak();
}

}  // namespace

void ShowApiError(const char* pszApiName, DWORD dwError, HMODULE hMessageModule,
                  const char* pszContext) {
  char szMessage[260] = {};
  FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS, hMessageModule,
                 dwError, 0x400, szMessage, sizeof(szMessage) - 1, nullptr);
  if (pszContext) {
    LOGA(LOG_INFO, "[Thread][%d] [%s]call %s fail %d, %s\n", static_cast<int>(GetCurrentThreadId()),
         pszContext, pszApiName, static_cast<int>(dwError), szMessage);
  } else {
    LOGA(LOG_INFO, "[Thread][%d] call %s fail %d, %s\n", static_cast<int>(GetCurrentThreadId()),
         pszApiName, static_cast<int>(dwError), szMessage);
  }
}

HMODULE GetInternetMessageModule() {
  HMODULE hModule = GetModuleHandleW(L"wininet.dll");
  // Loaded from the system folder only, and left loaded for later failures.
  return hModule ? hModule : LoadSystemLibrary(L"wininet.dll");
}

void ShowAssert(bool bOk, const char* pszCondition, const char* pszFunction, int nLine) {
  if (bOk) return;
  ShowAssertDialog(pszCondition, pszFunction, nLine, std::string());
}

void ShowAssertMsg(bool bOk, const char* pszCondition, const char* pszFunction, int nLine,
                   const char* pszFormat, ...) {
  if (bOk) return;
  va_list args;
  va_start(args, pszFormat);
  std::string strMessage = FormatV(pszFormat, args);
  va_end(args);
  ShowAssertDialog(pszCondition, pszFunction, nLine, strMessage);
}

void DebugPrint(const char* pszFormat, ...) {
  va_list args;
  va_start(args, pszFormat);
  std::string strText = FormatV(pszFormat, args);
  va_end(args);
  fputs(strText.c_str(), stdout);
  fflush(stdout);
  OutputDebugStringA(strText.c_str());
}
