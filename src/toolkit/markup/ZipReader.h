#pragma once

// Reads zip archives (stored and deflated entries, no encryption, no ZIP64)
// from a file handle, a path or a block of memory. The skin lookups and the
// language-pack unpacker both go through these functions. Archives are treated
// as untrusted bytes: every offset and length is checked against the data
// before it is used, and a damaged archive gives a failure code.
#include <windows.h>

#include <memory>

namespace SkinUI {

// Results of the reader calls; the last one is also kept process-wide.
enum ZipResult : DWORD {
  kZipResult_Ok = 0,
  kZipResult_OpenFailed = 0x200,   // the archive or the target file cannot be opened or created
  kZipResult_WriteFailed = 0x400,  // writing an unpacked entry to a file failed
  kZipResult_NotFound = 0x500,
  kZipResult_More = 0x600,         // the buffer was filled; more data may follow
  kZipResult_Corrupt = 0x700,      // damaged archive: records, offsets or sizes do not fit
  kZipResult_Unpack = 0x800,       // entry data cannot be unpacked (damaged, wrong size or CRC)
  kZipResult_Unsupported = 0x900,  // encryption, ZIP64, multi-disk or an unknown method
  kZipResult_BadArgument = 0x10000,
  kZipResult_WrongHandle = 0x80000,
};

// Where OpenArchiveReader and ExtractArchiveEntry take their bytes from or put them.
enum ArchiveKind {
  kArchiveKind_Handle = 1,  // an open file handle
  kArchiveKind_Path = 2,    // a wide file path
  kArchiveKind_Memory = 3,  // a block of memory
};

struct TArchiveEntry {
  int nIndex = 0;  // for the query of index -1: the number of entries
  wchar_t szName[260] = {};
  DWORD dwAttributes = 0;
  FILETIME ftAccess = {};
  FILETIME ftCreation = {};
  FILETIME ftModified = {};
  DWORD dwPackedSize = 0;
  DWORD dwUnpackedSize = 0;
};

class CArchiveReader;

// pSource is a HANDLE (kind 1), a const wchar_t* path (kind 2) or the archive
// bytes (kind 3), which must stay valid while the reader is open. Returns null
// on failure; LastArchiveResult() tells why.
CArchiveReader* OpenArchiveReader(const void* pSource, DWORD dwSize, int nKind);
DWORD ArchiveEntryAt(CArchiveReader* pReader, int nIndex, TArchiveEntry* pEntry);
// Compares the ANSI form of pszName, with "\" read as "/", against the entry
// names in archive order; bIgnoreCase folds the ASCII letters only.
DWORD FindArchiveEntry(CArchiveReader* pReader, const wchar_t* pszName, bool bIgnoreCase,
                       int* pIndex, TArchiveEntry* pEntry);
// Kind 3: unpacks into pTarget (dwSize bytes). Returns kZipResult_More when
// bytes were written (call again with the same index to continue) and
// kZipResult_Ok once nothing is left. Kinds 1 and 2 write the whole entry to a
// file handle or to a path (relative paths start at the folder that was
// current when the reader was opened); folder entries create the folder.
DWORD ExtractArchiveEntry(CArchiveReader* pReader, int nIndex, void* pTarget, DWORD dwSize,
                          int nKind);
DWORD CloseArchiveReader(CArchiveReader* pReader);
DWORD LastArchiveResult();

struct CArchiveReaderCloser {
  void operator()(CArchiveReader* pReader) const { CloseArchiveReader(pReader); }
};
using CArchiveReaderPtr = std::unique_ptr<CArchiveReader, CArchiveReaderCloser>;

}  // namespace SkinUI
