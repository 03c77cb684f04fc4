#include "toolkit/markup/ZipReader.h"

#include "toolkit/markup/ArchiveReader.h"

namespace SkinUI {

namespace {

// Written after every call for callers that want the reason of a failure; the
// toolkit runs on the UI thread only.
DWORD g_dwLastArchiveResult = kZipResult_Ok;

DWORD Remember(DWORD dwResult) {
  g_dwLastArchiveResult = dwResult;
  return dwResult;
}

}  // namespace

CArchiveReader* OpenArchiveReader(const void* pSource, DWORD dwSize, int nKind) {
  auto pReader = std::make_unique<CArchiveReader>();
  if (Remember(pReader->Open(pSource, dwSize, nKind)) != kZipResult_Ok) return nullptr;
  return pReader.release();
}

DWORD ArchiveEntryAt(CArchiveReader* pReader, int nIndex, TArchiveEntry* pEntry) {
  if (!pReader || !pEntry) return Remember(kZipResult_BadArgument);
  return Remember(pReader->EntryAt(nIndex, *pEntry));
}

DWORD FindArchiveEntry(CArchiveReader* pReader, const wchar_t* pszName, bool bIgnoreCase,
                       int* pIndex, TArchiveEntry* pEntry) {
  if (pIndex) *pIndex = -1;
  if (!pReader || !pszName) return Remember(kZipResult_BadArgument);
  int nIndex = -1;
  DWORD dwResult = pReader->Find(pszName, bIgnoreCase, nIndex);
  if (pIndex) *pIndex = nIndex;
  if (dwResult == kZipResult_Ok && pEntry) dwResult = pReader->EntryAt(nIndex, *pEntry);
  return Remember(dwResult);
}

DWORD ExtractArchiveEntry(CArchiveReader* pReader, int nIndex, void* pTarget, DWORD dwSize,
                          int nKind) {
  if (!pReader) return Remember(kZipResult_BadArgument);
  if (nKind == kArchiveKind_Memory)
    return Remember(pReader->ExtractToMemory(nIndex, static_cast<BYTE*>(pTarget), dwSize));
  if (nKind == kArchiveKind_Handle)
    return Remember(pReader->ExtractToHandle(nIndex, static_cast<HANDLE>(pTarget)));
  if (nKind == kArchiveKind_Path)
    return Remember(pReader->ExtractToPath(nIndex, static_cast<const wchar_t*>(pTarget)));
  return Remember(kZipResult_BadArgument);
}

DWORD CloseArchiveReader(CArchiveReader* pReader) {
  if (!pReader) return Remember(kZipResult_BadArgument);
  delete pReader;
  return Remember(kZipResult_Ok);
}

DWORD LastArchiveResult() {
  return g_dwLastArchiveResult;
}

}  // namespace SkinUI
