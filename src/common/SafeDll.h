#pragma once

#include <windows.h>

// Limits the process's DLL search path to the system folder. Called first
// thing at process start: an elevated setup program usually runs from the
// Downloads folder, where a planted DLL must never load.
void RestrictDllSearchPath();

// Loads a system DLL from the system folder only; null when it is missing.
HMODULE LoadSystemLibrary(const wchar_t* pszName);

// A function of a system DLL that stays loaded for the life of the process
// (kernel32, user32 and the like); null when the DLL or export is missing.
FARPROC GetSystemProcAddress(const wchar_t* pszDll, const char* pszFunction);
