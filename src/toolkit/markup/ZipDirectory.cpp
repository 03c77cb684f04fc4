#include "toolkit/markup/ZipDirectory.h"

#include "toolkit/markup/ZipReader.h"
#include "toolkit/markup/ZipSource.h"

namespace SkinUI {

namespace {

const DWORD kEndSignature = 0x06054b50;
const DWORD kCentralSignature = 0x02014b50;
const DWORD kEndRecordSize = 22;
const DWORD kCentralRecordSize = 46;
const DWORD kMaxCommentSize = 0xFFFF;

struct TEndRecord {
  DWORD dwEntries = 0;
  DWORD dwDirSize = 0;
  DWORD dwDirOffset = 0;
};

// Checks one candidate end record found at dwAt.
DWORD CheckEndRecord(const BYTE* p, DWORD dwAt, DWORD dwArchiveSize, TEndRecord& end) {
  WORD wDisk = ZipLe16(p + 4), wDirDisk = ZipLe16(p + 6);
  WORD wDiskEntries = ZipLe16(p + 8), wEntries = ZipLe16(p + 10);
  DWORD dwDirSize = ZipLe32(p + 12), dwDirOffset = ZipLe32(p + 16);
  WORD wComment = ZipLe16(p + 20);
  if (wComment > dwArchiveSize - dwAt - kEndRecordSize) return kZipResult_Corrupt;
  if (wEntries == 0xFFFF || dwDirSize == 0xFFFFFFFF || dwDirOffset == 0xFFFFFFFF)
    return kZipResult_Unsupported;
  if (wDisk != 0 || wDirDisk != 0 || wDiskEntries != wEntries) return kZipResult_Unsupported;
  if (static_cast<ULONGLONG>(dwDirOffset) + dwDirSize > dwAt) return kZipResult_Corrupt;
  if (static_cast<ULONGLONG>(wEntries) * kCentralRecordSize > dwDirSize) return kZipResult_Corrupt;
  end.dwEntries = wEntries;
  end.dwDirSize = dwDirSize;
  end.dwDirOffset = dwDirOffset;
  return kZipResult_Ok;
}

// Scans backwards over the tail that can hold the end record and its comment.
// A record whose comment reaches exactly to the end of the data wins, so a
// record-like run of bytes inside a comment is passed over; failing that, the
// last record that checks out is taken (some tools append bytes after it).
DWORD FindEndRecord(const CZipSource& source, TEndRecord& end) {
  DWORD dwSize = source.Size();
  if (dwSize < kEndRecordSize) return kZipResult_Corrupt;
  DWORD dwTail =
      dwSize < kEndRecordSize + kMaxCommentSize ? dwSize : kEndRecordSize + kMaxCommentSize;
  DWORD dwBase = dwSize - dwTail;
  std::vector<BYTE> tail(dwTail);
  if (!source.ReadAt(dwBase, tail.data(), dwTail)) return kZipResult_OpenFailed;
  DWORD dwResult = kZipResult_Corrupt;
  bool bLoose = false;
  TEndRecord loose;
  for (DWORD dwPos = dwTail - kEndRecordSize + 1; dwPos-- > 0;) {
    if (ZipLe32(&tail[dwPos]) != kEndSignature) continue;
    TEndRecord candidate;
    DWORD dwCheck = CheckEndRecord(&tail[dwPos], dwBase + dwPos, dwSize, candidate);
    if (dwCheck != kZipResult_Ok) {
      if (dwResult == kZipResult_Corrupt) dwResult = dwCheck;
      continue;
    }
    if (dwPos + kEndRecordSize + ZipLe16(&tail[dwPos + 20]) == dwTail) {
      end = candidate;
      return kZipResult_Ok;
    }
    if (!bLoose) {
      bLoose = true;
      loose = candidate;
    }
  }
  if (!bLoose) return dwResult;
  end = loose;
  return kZipResult_Ok;
}

// Parses the record at dir[dwPos]; advances dwPos past it.
DWORD ParseCentralRecord(const std::vector<BYTE>& dir, DWORD& dwPos, TZipRecord& record) {
  if (dir.size() - dwPos < kCentralRecordSize) return kZipResult_Corrupt;
  const BYTE* p = &dir[dwPos];
  if (ZipLe32(p) != kCentralSignature) return kZipResult_Corrupt;
  DWORD dwNameLength = ZipLe16(p + 28), dwExtraLength = ZipLe16(p + 30);
  DWORD dwCommentLength = ZipLe16(p + 32);
  DWORD dwTotal = kCentralRecordSize + dwNameLength + dwExtraLength + dwCommentLength;
  if (dir.size() - dwPos < dwTotal) return kZipResult_Corrupt;
  record.wMadeBy = ZipLe16(p + 4);
  record.wFlags = ZipLe16(p + 8);
  record.wMethod = ZipLe16(p + 10);
  record.wDosTime = ZipLe16(p + 12);
  record.wDosDate = ZipLe16(p + 14);
  record.dwCrc = ZipLe32(p + 16);
  record.dwPackedSize = ZipLe32(p + 20);
  record.dwUnpackedSize = ZipLe32(p + 24);
  record.dwExternalAttributes = ZipLe32(p + 38);
  record.dwLocalOffset = ZipLe32(p + 42);
  const char* pszVariable = reinterpret_cast<const char*>(p + kCentralRecordSize);
  record.strName.assign(pszVariable, dwNameLength);
  record.strExtra.assign(pszVariable + dwNameLength, dwExtraLength);
  dwPos += dwTotal;
  return kZipResult_Ok;
}

}  // namespace

DWORD ReadZipDirectory(const CZipSource& source, TZipDirectory& directory) {
  TEndRecord end;
  DWORD dwResult = FindEndRecord(source, end);
  if (dwResult != kZipResult_Ok) return dwResult;
  std::vector<BYTE> dir(end.dwDirSize);
  if (!source.ReadAt(end.dwDirOffset, dir.data(), end.dwDirSize)) return kZipResult_Corrupt;
  directory.dwOffset = end.dwDirOffset;
  directory.records.assign(end.dwEntries, TZipRecord());
  DWORD dwPos = 0;
  for (TZipRecord& record : directory.records) {
    dwResult = ParseCentralRecord(dir, dwPos, record);
    if (dwResult != kZipResult_Ok) return dwResult;
  }
  return kZipResult_Ok;
}

}  // namespace SkinUI
