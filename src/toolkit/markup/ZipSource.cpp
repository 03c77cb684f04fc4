#include "toolkit/markup/ZipSource.h"

#include "toolkit/markup/ZipReader.h"

namespace SkinUI {

DWORD CZipSource::OpenMemory(const void* pData, DWORD dwSize) {
  if (!pData) return kZipResult_BadArgument;
  m_pData = static_cast<const BYTE*>(pData);
  m_dwSize = dwSize;
  return kZipResult_Ok;
}

DWORD CZipSource::OpenHandle(HANDLE hFile) {
  if (hFile == nullptr || hFile == INVALID_HANDLE_VALUE) return kZipResult_BadArgument;
  if (GetFileType(hFile) != FILE_TYPE_DISK) return kZipResult_WrongHandle;
  HANDLE hCopy = nullptr;
  if (!DuplicateHandle(GetCurrentProcess(), hFile, GetCurrentProcess(), &hCopy, 0, FALSE,
                       DUPLICATE_SAME_ACCESS))
    return kZipResult_WrongHandle;
  return TakeFile(hCopy);
}

DWORD CZipSource::OpenPath(const wchar_t* pszPath) {
  if (!pszPath || !*pszPath) return kZipResult_BadArgument;
  HANDLE hFile = CreateFileW(pszPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
  if (hFile == INVALID_HANDLE_VALUE) return kZipResult_OpenFailed;
  return TakeFile(hFile);
}

DWORD CZipSource::TakeFile(HANDLE hFile) {
  m_hFile.Reset(hFile);
  LARGE_INTEGER liSize = {};
  if (!GetFileSizeEx(hFile, &liSize)) return kZipResult_OpenFailed;
  // Offsets in a zip without ZIP64 are 32-bit: a bigger file cannot be read.
  if (liSize.QuadPart > 0xFFFFFFFFLL) return kZipResult_Unsupported;
  m_dwSize = static_cast<DWORD>(liSize.QuadPart);
  return kZipResult_Ok;
}

bool CZipSource::ReadAt(DWORD dwOffset, void* pBuffer, DWORD dwLength) const {
  if (dwOffset > m_dwSize || dwLength > m_dwSize - dwOffset) return false;
  if (dwLength == 0) return true;
  if (m_pData) {
    memcpy(pBuffer, m_pData + dwOffset, dwLength);
    return true;
  }
  return ReadFileAt(dwOffset, static_cast<BYTE*>(pBuffer), dwLength);
}

bool CZipSource::ReadFileAt(DWORD dwOffset, BYTE* pBuffer, DWORD dwLength) const {
  while (dwLength > 0) {
    OVERLAPPED ov = {};
    ov.Offset = dwOffset;
    DWORD dwRead = 0;
    if (!ReadFile(m_hFile, pBuffer, dwLength, &dwRead, &ov)) {
      // A caller's handle may have been opened for overlapped I/O.
      if (GetLastError() != ERROR_IO_PENDING || !GetOverlappedResult(m_hFile, &ov, &dwRead, TRUE))
        return false;
    }
    if (dwRead == 0) return false;
    dwOffset += dwRead;
    pBuffer += dwRead;
    dwLength -= dwRead;
  }
  return true;
}

}  // namespace SkinUI
