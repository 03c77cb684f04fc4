#pragma once

// Shared steps of the zip reader tests: unpacking a whole entry in pieces
// into guarded buffers, with a bound on the number of calls.
#include <string>

#include "GuardedBuffer.h"
#include "toolkit/markup/ZipReader.h"

struct TUnpacked {
  DWORD dwResult = 0;  // the code of the call that ended the entry
  std::string strData;
  bool bEnded = true;  // false when the reader kept asking for more
};

// Unpacks entry nIndex in pieces of at most dwChunk bytes until the reader
// reports anything but kZipResult_More.
inline TUnpacked UnpackInPieces(SkinUI::CArchiveReader* pReader, int nIndex, DWORD dwUnpacked,
                                DWORD dwChunk) {
  TUnpacked result;
  size_t nMaxCalls = dwUnpacked / dwChunk + 3;
  CGuardedBuffer buffer(dwChunk);
  for (size_t nCall = 0; nCall < nMaxCalls; ++nCall) {
    result.dwResult = SkinUI::ExtractArchiveEntry(pReader, nIndex, buffer.Data(), dwChunk,
                                                  SkinUI::kArchiveKind_Memory);
    if (result.dwResult != SkinUI::kZipResult_More) return result;
    DWORD dwLeft = dwUnpacked - static_cast<DWORD>(result.strData.size());
    result.strData.append(reinterpret_cast<char*>(buffer.Data()),
                          dwChunk < dwLeft ? dwChunk : dwLeft);
  }
  result.bEnded = false;
  return result;
}

// A whole entry through a buffer of exactly its unpacked size, as the language
// pack unpacker does: 0x600 and 0 are both success.
inline TUnpacked UnpackWhole(SkinUI::CArchiveReader* pReader, int nIndex, DWORD dwUnpacked) {
  TUnpacked result;
  CGuardedBuffer buffer(dwUnpacked);
  result.dwResult = SkinUI::ExtractArchiveEntry(pReader, nIndex, buffer.Data(), dwUnpacked,
                                                SkinUI::kArchiveKind_Memory);
  if (result.dwResult == SkinUI::kZipResult_More || result.dwResult == SkinUI::kZipResult_Ok)
    result.strData = buffer.Bytes();
  return result;
}
