#include "toolkit/markup/ZipEntryInfo.h"

#include <vector>

#include "common/TextConv.h"
#include "toolkit/markup/ZipDirectory.h"
#include "toolkit/markup/ZipSource.h"

namespace SkinUI {

namespace {

const WORD kExtendedTimestampId = 0x5455;  // "UT"
const BYTE kHostUnix = 3;
const BYTE kHostMac = 19;
const DWORD kDosAttributeMask = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY |
                                FILE_ATTRIBUTE_ARCHIVE;

void CopyName(const std::string& strName, wchar_t (&szName)[260]) {
  std::wstring wide = MultiByteToWideString(CP_ACP, strName);
  size_t nCopy = wide.size() < 259 ? wide.size() : 259;
  wmemcpy(szName, wide.data(), nCopy);
  szName[nCopy] = L'\0';
}

DWORD AttributesOf(const TZipRecord& record) {
  DWORD dwAttributes = record.dwExternalAttributes & kDosAttributeMask;
  BYTE byHost = static_cast<BYTE>(record.wMadeBy >> 8);
  DWORD dwMode = record.dwExternalAttributes >> 16;
  if ((byHost == kHostUnix || byHost == kHostMac) && dwMode != 0) {
    if ((dwMode & 0170000) == 0040000) dwAttributes |= FILE_ATTRIBUTE_DIRECTORY;
    if (!(dwMode & 0200)) dwAttributes |= FILE_ATTRIBUTE_READONLY;
  }
  if (!record.strName.empty() && record.strName.back() == '/')
    dwAttributes |= FILE_ATTRIBUTE_DIRECTORY;
  return dwAttributes;
}

FILETIME FromDosTime(WORD wDate, WORD wTime) {
  FILETIME ftLocal = {}, ftUtc = {};
  if (!DosDateTimeToFileTime(wDate, wTime, &ftLocal) || !LocalFileTimeToFileTime(&ftLocal, &ftUtc))
    return FILETIME{};
  return ftUtc;
}

FILETIME FromUnixTime(LONG nSeconds) {
  ULONGLONG ullTicks = (static_cast<LONGLONG>(nSeconds) + 11644473600LL) * 10000000LL;
  FILETIME ft;
  ft.dwLowDateTime = static_cast<DWORD>(ullTicks);
  ft.dwHighDateTime = static_cast<DWORD>(ullTicks >> 32);
  return ft;
}

// The "UT" field: a flags byte, then the modification, access and creation
// times (seconds since 1970) for the flags set, as far as the field holds them.
void ApplyExtendedTimestamp(const std::string& strExtra, TArchiveEntry& entry) {
  const BYTE* p = reinterpret_cast<const BYTE*>(strExtra.data());
  size_t nSize = strExtra.size(), nPos = 0;
  while (nSize - nPos >= 4) {
    WORD wId = ZipLe16(p + nPos), wLength = ZipLe16(p + nPos + 2);
    nPos += 4;
    if (wLength > nSize - nPos) return;
    if (wId == kExtendedTimestampId && wLength >= 1) {
      BYTE byFlags = p[nPos];
      FILETIME* targets[] = {&entry.ftModified, &entry.ftAccess, &entry.ftCreation};
      size_t nField = 1;
      for (int nBit = 0; nBit < 3; ++nBit) {
        if (!(byFlags & (1 << nBit))) continue;
        if (wLength - nField < 4) break;
        *targets[nBit] = FromUnixTime(static_cast<LONG>(ZipLe32(p + nPos + nField)));
        nField += 4;
      }
    }
    nPos += wLength;
  }
}

}  // namespace

void FillArchiveEntry(const TZipRecord& record, int nIndex, TArchiveEntry& entry) {
  entry = TArchiveEntry();
  entry.nIndex = nIndex;
  CopyName(record.strName, entry.szName);
  entry.dwAttributes = AttributesOf(record);
  entry.ftModified = FromDosTime(record.wDosDate, record.wDosTime);
  entry.ftAccess = entry.ftModified;
  entry.ftCreation = entry.ftModified;
  ApplyExtendedTimestamp(record.strExtra, entry);
  entry.dwPackedSize = record.dwPackedSize;
  entry.dwUnpackedSize = record.dwUnpackedSize;
}

}  // namespace SkinUI
