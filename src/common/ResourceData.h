#pragma once

#include <windows.h>

// The bytes of a resource of hModule where they lie in the loaded image (they
// stay valid while the module is loaded). False when it is missing.
bool LoadResourceBytes(HMODULE hModule, const wchar_t* pszType, WORD wId, const void** ppData,
                       DWORD* pdwSize);
