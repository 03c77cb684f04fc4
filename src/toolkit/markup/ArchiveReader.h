#pragma once

// One open archive: its bytes, its directory and the entry being unpacked in
// pieces. The free functions of ZipReader.h are the public face of this class.
#include <windows.h>

#include <memory>
#include <string>

#include "toolkit/markup/ZipDirectory.h"
#include "toolkit/markup/ZipEntryStream.h"
#include "toolkit/markup/ZipReader.h"
#include "toolkit/markup/ZipSource.h"

namespace SkinUI {

class CArchiveReader {
 public:
  DWORD Open(const void* pSource, DWORD dwSize, int nKind);
  int EntryCount() const { return static_cast<int>(m_directory.records.size()); }
  DWORD EntryAt(int nIndex, TArchiveEntry& entry) const;
  DWORD Find(const wchar_t* pszName, bool bIgnoreCase, int& nIndex) const;
  DWORD ExtractToMemory(int nIndex, BYTE* pBuffer, DWORD dwSize);
  DWORD ExtractToHandle(int nIndex, HANDLE hFile);
  DWORD ExtractToPath(int nIndex, const wchar_t* pszPath);

 private:
  DWORD OpenEntry(int nIndex);
  void CloseEntry();
  bool IsFolderEntry(int nIndex) const;

  CZipSource m_source;
  TZipDirectory m_directory;
  std::wstring m_strBaseFolder;  // the current folder at open time, with "\"
  std::unique_ptr<CZipEntryStream> m_pStream;
  int m_nOpenIndex = -1;
};

}  // namespace SkinUI
