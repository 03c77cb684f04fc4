#pragma once

// Logging and assertion helpers shared by the download engine's units.
#include <windows.h>

// Logs a failed platform call with the message text that the module's message
// table holds for dwError. pszContext names the caller; it may be null.
void ShowApiError(const char* pszApiName, DWORD dwError, HMODULE hMessageModule,
                  const char* pszContext);

// WinINet's module, whose message table also holds WinHTTP's error texts.
HMODULE GetInternetMessageModule();

// The assertion dialog: nothing happens when bOk is true. Answering Yes breaks
// into an attached debugger.
void ShowAssert(bool bOk, const char* pszCondition, const char* pszFunction, int nLine);
void ShowAssertMsg(bool bOk, const char* pszCondition, const char* pszFunction, int nLine,
                   const char* pszFormat, ...);

// printf-style text to standard output and the debugger's output, not the log.
void DebugPrint(const char* pszFormat, ...);
