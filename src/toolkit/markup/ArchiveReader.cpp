#include "toolkit/markup/ArchiveReader.h"

#include <vector>

#include "common/TextConv.h"
#include "toolkit/markup/ZipEntryInfo.h"

namespace SkinUI {

namespace {

const DWORD kCopyChunk = 16 * 1024;
const int kMaxFindName = 256;

bool IsAbsolutePath(const std::wstring& strPath) {
  return (strPath.size() >= 2 && strPath[1] == L':') ||
         (!strPath.empty() && (strPath[0] == L'\\' || strPath[0] == L'/'));
}

char FoldAscii(char ch) {
  return (ch >= 'a' && ch <= 'z') ? static_cast<char>(ch - 32) : ch;
}

bool NamesMatch(const std::string& strEntry, const std::string& strWanted, bool bIgnoreCase) {
  if (strEntry.size() != strWanted.size()) return false;
  if (!bIgnoreCase) return strEntry == strWanted;
  for (size_t i = 0; i < strEntry.size(); ++i)
    if (FoldAscii(strEntry[i]) != FoldAscii(strWanted[i])) return false;
  return true;
}

}  // namespace

DWORD CArchiveReader::Open(const void* pSource, DWORD dwSize, int nKind) {
  DWORD dwResult = kZipResult_BadArgument;
  if (nKind == kArchiveKind_Handle)
    dwResult = m_source.OpenHandle(const_cast<HANDLE>(pSource));
  else if (nKind == kArchiveKind_Path)
    dwResult = m_source.OpenPath(static_cast<const wchar_t*>(pSource));
  else if (nKind == kArchiveKind_Memory)
    dwResult = m_source.OpenMemory(pSource, dwSize);
  if (dwResult != kZipResult_Ok) return dwResult;
  wchar_t szFolder[MAX_PATH] = {};
  DWORD dwLength = GetCurrentDirectoryW(MAX_PATH, szFolder);
  if (dwLength > 0 && dwLength < MAX_PATH) {
    m_strBaseFolder = szFolder;
    if (m_strBaseFolder.back() != L'\\') m_strBaseFolder += L'\\';
  }
  return ReadZipDirectory(m_source, m_directory);
}

DWORD CArchiveReader::EntryAt(int nIndex, TArchiveEntry& entry) const {
  if (nIndex == -1) {
    entry = TArchiveEntry();
    entry.nIndex = EntryCount();
    return kZipResult_Ok;
  }
  if (nIndex < 0 || nIndex >= EntryCount()) return kZipResult_BadArgument;
  FillArchiveEntry(m_directory.records[nIndex], nIndex, entry);
  return kZipResult_Ok;
}

DWORD CArchiveReader::Find(const wchar_t* pszName, bool bIgnoreCase, int& nIndex) const {
  nIndex = -1;
  std::wstring strWide(pszName);
  if (strWide.size() >= kMaxFindName) return kZipResult_BadArgument;
  for (wchar_t& ch : strWide)
    if (ch == L'\\') ch = L'/';
  std::string strWanted = WideToMultiByteString(CP_ACP, strWide);
  if (!strWide.empty() && strWanted.empty()) return kZipResult_NotFound;
  for (int i = 0; i < EntryCount(); ++i) {
    if (NamesMatch(m_directory.records[i].strName, strWanted, bIgnoreCase)) {
      nIndex = i;
      return kZipResult_Ok;
    }
  }
  return kZipResult_NotFound;
}

DWORD CArchiveReader::OpenEntry(int nIndex) {
  CloseEntry();
  if (nIndex < 0 || nIndex >= EntryCount()) return kZipResult_BadArgument;
  auto pStream = std::make_unique<CZipEntryStream>();
  DWORD dwResult = pStream->Open(m_source, m_directory.records[nIndex], m_directory.dwOffset);
  if (dwResult != kZipResult_Ok) return dwResult;
  m_pStream = std::move(pStream);
  m_nOpenIndex = nIndex;
  return kZipResult_Ok;
}

void CArchiveReader::CloseEntry() {
  m_pStream.reset();
  m_nOpenIndex = -1;
}

bool CArchiveReader::IsFolderEntry(int nIndex) const {
  TArchiveEntry entry;
  return EntryAt(nIndex, entry) == kZipResult_Ok &&
         (entry.dwAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
         m_directory.records[nIndex].dwUnpackedSize == 0;
}

DWORD CArchiveReader::ExtractToMemory(int nIndex, BYTE* pBuffer, DWORD dwSize) {
  if (nIndex != m_nOpenIndex) {
    DWORD dwResult = OpenEntry(nIndex);
    if (dwResult != kZipResult_Ok) return dwResult;
  }
  if (m_pStream->Remaining() == 0) {
    CloseEntry();
    return kZipResult_Ok;
  }
  if (!pBuffer || dwSize == 0) return kZipResult_BadArgument;
  DWORD dwRead = 0;
  DWORD dwResult = m_pStream->Read(pBuffer, dwSize, dwRead);
  if (dwResult != kZipResult_Ok) {
    CloseEntry();
    return dwResult;
  }
  return kZipResult_More;
}

DWORD CArchiveReader::ExtractToHandle(int nIndex, HANDLE hFile) {
  if (hFile == nullptr || hFile == INVALID_HANDLE_VALUE) return kZipResult_BadArgument;
  DWORD dwResult = OpenEntry(nIndex);
  if (dwResult != kZipResult_Ok) return dwResult;
  std::vector<BYTE> chunk(kCopyChunk);
  while (m_pStream->Remaining() > 0) {
    DWORD dwRead = 0, dwWritten = 0;
    dwResult = m_pStream->Read(chunk.data(), kCopyChunk, dwRead);
    if (dwResult != kZipResult_Ok) break;
    if (!WriteFile(hFile, chunk.data(), dwRead, &dwWritten, nullptr) || dwWritten != dwRead) {
      dwResult = kZipResult_WriteFailed;
      break;
    }
  }
  CloseEntry();
  return dwResult;
}

DWORD CArchiveReader::ExtractToPath(int nIndex, const wchar_t* pszPath) {
  if (!pszPath || !*pszPath) return kZipResult_BadArgument;
  std::wstring strPath = IsAbsolutePath(pszPath) ? pszPath : m_strBaseFolder + pszPath;
  if (IsFolderEntry(nIndex)) {
    if (!CreateDirectoryW(strPath.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
      return kZipResult_OpenFailed;
    return kZipResult_Ok;
  }
  DWORD dwResult = kZipResult_OpenFailed;
  {
    CFileHandle hFile(CreateFileW(strPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!hFile.IsValid()) return kZipResult_OpenFailed;
    dwResult = ExtractToHandle(nIndex, hFile);
  }
  // A half-written entry must not look like a good one.
  if (dwResult != kZipResult_Ok) DeleteFileW(strPath.c_str());
  return dwResult;
}

}  // namespace SkinUI
