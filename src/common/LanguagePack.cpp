#include "common/LanguagePack.h"

#include <memory>
#include <new>

#include "common/FolderTree.h"
#include "common/ResourceData.h"
#include "common/ScopedWin.h"
#include "log/Log.h"
#include "toolkit/markup/ZipReader.h"

namespace {

const WORD kLanguagePackResource = 105;

std::wstring WithBackslash(const std::wstring& strFolder) {
  if (strFolder.empty() || strFolder.back() == L'\\') return strFolder;
  return strFolder + L'\\';
}

// The entry name as a path below the destination, or empty when the name is
// absolute, names a drive or stream, or climbs out with "..".
std::wstring RelativeEntryPath(const wchar_t* pszName) {
  std::wstring strPath = pszName;
  for (wchar_t& ch : strPath)
    if (ch == L'/') ch = L'\\';
  if (strPath.empty() || strPath[0] == L'\\' || strPath.find(L':') != std::wstring::npos)
    return std::wstring();
  size_t nStart = 0;
  while (nStart <= strPath.size()) {
    size_t nEnd = strPath.find(L'\\', nStart);
    if (nEnd == std::wstring::npos) nEnd = strPath.size();
    if (strPath.compare(nStart, nEnd - nStart, L"..") == 0) return std::wstring();
    nStart = nEnd + 1;
  }
  return strPath;
}

bool WriteWholeFile(const std::wstring& strPath, const BYTE* pData, DWORD dwSize) {
  CFileHandle hFile(CreateFileW(strPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!hFile.IsValid()) return false;
  DWORD dwWritten = 0;
  return WriteFile(hFile, pData, dwSize, &dwWritten, nullptr) && dwWritten == dwSize;
}

bool UnpackFileEntry(SkinUI::CArchiveReader* pReader, const SkinUI::TArchiveEntry& entry,
                     const std::wstring& strPath) {
  DWORD dwSize = entry.dwUnpackedSize;
  std::unique_ptr<BYTE[]> pBuffer(new (std::nothrow) BYTE[dwSize]);
  if (!pBuffer) return false;
  DWORD dwResult = SkinUI::ExtractArchiveEntry(pReader, entry.nIndex, pBuffer.get(), dwSize,
                                               SkinUI::kArchiveKind_Memory);
  if (dwResult != SkinUI::kZipResult_Ok && dwResult != SkinUI::kZipResult_More) return false;
  // The parent folder is not created here: it comes from the folder entry.
  return WriteWholeFile(strPath, pBuffer.get(), dwSize);
}

bool UnpackEntry(SkinUI::CArchiveReader* pReader, int nIndex, const std::wstring& strDest) {
  SkinUI::TArchiveEntry entry;
  if (SkinUI::ArchiveEntryAt(pReader, nIndex, &entry) != SkinUI::kZipResult_Ok) return false;
  std::wstring strRelative = RelativeEntryPath(entry.szName);
  if (strRelative.empty()) return false;
  std::wstring strPath = strDest + strRelative;
  if (entry.dwUnpackedSize > 0) return UnpackFileEntry(pReader, entry, strPath);
  if (!FolderExists(strPath)) CreateDirectoryW(strPath.c_str(), nullptr);
  return FolderExists(strPath);
}

}  // namespace

std::wstring LanguagePackFolder(const std::wstring& strWorkFolder) {
  return WithBackslash(strWorkFolder) + L"language\\";
}

bool UnpackArchiveToFolder(const void* pData, DWORD dwSize, const std::wstring& strFolder) {
  std::wstring strDest = WithBackslash(strFolder);
  std::wstring strBare = strDest.substr(0, strDest.size() - 1);
  CreateFolderTree(strBare);

  SkinUI::CArchiveReaderPtr pReader(
      SkinUI::OpenArchiveReader(pData, dwSize, SkinUI::kArchiveKind_Memory));
  if (!pReader) return false;
  SkinUI::TArchiveEntry count;
  if (SkinUI::ArchiveEntryAt(pReader.get(), -1, &count) != SkinUI::kZipResult_Ok) return false;
  bool bAll = true;
  for (int i = 0; i < count.nIndex; ++i) {
    if (!UnpackEntry(pReader.get(), i, strDest)) bAll = false;
  }
  return bAll;
}

bool LoadResZipFile(const std::wstring& strWorkFolder) {
  LOGA(LOG_INFO, "LoadResZipFile");
  const void* pData = nullptr;
  DWORD dwSize = 0;
  if (!LoadResourceBytes(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(10), kLanguagePackResource,
                         &pData, &dwSize))
    return false;
  return UnpackArchiveToFolder(pData, dwSize, LanguagePackFolder(strWorkFolder));
}
