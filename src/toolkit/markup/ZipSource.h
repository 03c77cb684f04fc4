#pragma once

// The bytes of one zip archive, held in memory (borrowed) or in a file, read
// by offset. Every read is checked against the archive size.
#include <windows.h>

#include "common/ScopedWin.h"

namespace SkinUI {

class CZipSource {
 public:
  DWORD OpenMemory(const void* pData, DWORD dwSize);
  // Duplicates hFile, which must be a disk file.
  DWORD OpenHandle(HANDLE hFile);
  DWORD OpenPath(const wchar_t* pszPath);

  DWORD Size() const { return m_dwSize; }
  // False when [dwOffset, dwOffset + dwLength) is not inside the archive or the file read fails.
  bool ReadAt(DWORD dwOffset, void* pBuffer, DWORD dwLength) const;

 private:
  DWORD TakeFile(HANDLE hFile);
  bool ReadFileAt(DWORD dwOffset, BYTE* pBuffer, DWORD dwLength) const;

  const BYTE* m_pData = nullptr;
  DWORD m_dwSize = 0;
  CFileHandle m_hFile;
};

// Little-endian fields of the zip records.
inline WORD ZipLe16(const BYTE* p) {
  return static_cast<WORD>(p[0] | (p[1] << 8));
}
inline DWORD ZipLe32(const BYTE* p) {
  return static_cast<DWORD>(p[0]) | (static_cast<DWORD>(p[1]) << 8) |
         (static_cast<DWORD>(p[2]) << 16) | (static_cast<DWORD>(p[3]) << 24);
}

}  // namespace SkinUI
