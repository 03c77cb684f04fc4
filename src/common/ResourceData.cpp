#include "common/ResourceData.h"

bool LoadResourceBytes(HMODULE hModule, const wchar_t* pszType, WORD wId, const void** ppData,
                       DWORD* pdwSize) {
  *ppData = nullptr;
  *pdwSize = 0;
  HRSRC hInfo = FindResourceW(hModule, MAKEINTRESOURCEW(wId), pszType);
  if (!hInfo) return false;
  HGLOBAL hData = LoadResource(hModule, hInfo);
  const void* pData = hData ? LockResource(hData) : nullptr;
  if (!pData) return false;
  *ppData = pData;
  *pdwSize = SizeofResource(hModule, hInfo);
  return true;
}
