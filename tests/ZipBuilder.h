#pragma once

// Builds zip archives byte by byte for tests that need a particular entry
// order, a damaged field or a layout no archiving tool writes. Offsets of
// every record are reported so a test can damage exactly one field.
#include <windows.h>
#include <zlib.h>

#include <string>
#include <vector>

namespace testutil {

struct TZipItem {
  std::string strName;
  std::string strData;
  bool bDeflate = false;
  std::string strExtra;    // central and local extra field
  DWORD dwExternal = 0;    // external attributes
  WORD wMadeBy = 20;       // host 0 (MS-DOS), version 2.0
  WORD wDosTime = 0x5000;  // 10:00:00
  WORD wDosDate = 0x4CB1;  // 2018-05-17
};

struct TZipLayout {
  std::vector<size_t> local;    // local header of each item
  std::vector<size_t> central;  // central record of each item
  size_t nDirectory = 0;
  size_t nEnd = 0;
};

// Offsets inside the records, from the ZIP application note.
enum : size_t {
  kLocal_Signature = 0,
  kLocal_NameLength = 26,
  kCentral_Signature = 0,
  kCentral_Flags = 8,
  kCentral_Method = 10,
  kCentral_Crc = 16,
  kCentral_PackedSize = 20,
  kCentral_UnpackedSize = 24,
  kCentral_NameLength = 28,
  kCentral_ExtraLength = 30,
  kCentral_LocalOffset = 42,
  kEnd_DiskEntries = 8,
  kEnd_Entries = 10,
  kEnd_DirSize = 12,
  kEnd_DirOffset = 16,
  kEnd_CommentLength = 20,
};

inline void PutLe16(std::string& str, size_t nPos, DWORD dwValue) {
  str[nPos] = static_cast<char>(dwValue & 0xFF);
  str[nPos + 1] = static_cast<char>((dwValue >> 8) & 0xFF);
}
inline void PutLe32(std::string& str, size_t nPos, DWORD dwValue) {
  PutLe16(str, nPos, dwValue & 0xFFFF);
  PutLe16(str, nPos + 2, dwValue >> 16);
}
inline DWORD GetLe32(const std::string& str, size_t nPos) {
  const BYTE* p = reinterpret_cast<const BYTE*>(str.data()) + nPos;
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<DWORD>(p[3]) << 24);
}
inline void AppendLe16(std::string& str, DWORD dwValue) {
  str.append(2, '\0');
  PutLe16(str, str.size() - 2, dwValue);
}
inline void AppendLe32(std::string& str, DWORD dwValue) {
  str.append(4, '\0');
  PutLe32(str, str.size() - 4, dwValue);
}

inline std::string RawDeflate(const std::string& strData) {
  z_stream zs = {};
  deflateInit2(&zs, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  std::string strOut(deflateBound(&zs, static_cast<uLong>(strData.size())), '\0');
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(strData.data()));
  zs.avail_in = static_cast<uInt>(strData.size());
  zs.next_out = reinterpret_cast<Bytef*>(&strOut[0]);
  zs.avail_out = static_cast<uInt>(strOut.size());
  deflate(&zs, Z_FINISH);
  strOut.resize(zs.total_out);
  deflateEnd(&zs);
  return strOut;
}

inline std::string BuildZip(const std::vector<TZipItem>& items, const std::string& strComment = "",
                            TZipLayout* pLayout = nullptr) {
  TZipLayout layout;
  std::string strZip, strDir;
  for (const TZipItem& item : items) {
    std::string strPacked = item.bDeflate ? RawDeflate(item.strData) : item.strData;
    DWORD dwCrc = crc32(0, reinterpret_cast<const Bytef*>(item.strData.data()),
                        static_cast<uInt>(item.strData.size()));
    auto appendCommon = [&](std::string& str) {
      AppendLe16(str, 20);  // version needed
      AppendLe16(str, 0);   // flags
      AppendLe16(str, item.bDeflate ? 8 : 0);
      AppendLe16(str, item.wDosTime);
      AppendLe16(str, item.wDosDate);
      AppendLe32(str, dwCrc);
      AppendLe32(str, static_cast<DWORD>(strPacked.size()));
      AppendLe32(str, static_cast<DWORD>(item.strData.size()));
      AppendLe16(str, static_cast<DWORD>(item.strName.size()));
      AppendLe16(str, static_cast<DWORD>(item.strExtra.size()));
    };
    layout.local.push_back(strZip.size());
    layout.central.push_back(strDir.size());
    AppendLe32(strDir, 0x02014b50);
    AppendLe16(strDir, item.wMadeBy);
    appendCommon(strDir);
    AppendLe16(strDir, 0);  // comment length
    AppendLe16(strDir, 0);  // disk
    AppendLe16(strDir, 0);  // internal attributes
    AppendLe32(strDir, item.dwExternal);
    AppendLe32(strDir, static_cast<DWORD>(strZip.size()));
    strDir += item.strName + item.strExtra;

    AppendLe32(strZip, 0x04034b50);
    appendCommon(strZip);
    strZip += item.strName + item.strExtra + strPacked;
  }
  layout.nDirectory = strZip.size();
  for (size_t& nCentral : layout.central) nCentral += layout.nDirectory;
  strZip += strDir;
  layout.nEnd = strZip.size();
  AppendLe32(strZip, 0x06054b50);
  AppendLe32(strZip, 0);  // disk numbers
  AppendLe16(strZip, static_cast<DWORD>(items.size()));
  AppendLe16(strZip, static_cast<DWORD>(items.size()));
  AppendLe32(strZip, static_cast<DWORD>(strDir.size()));
  AppendLe32(strZip, static_cast<DWORD>(layout.nDirectory));
  AppendLe16(strZip, static_cast<DWORD>(strComment.size()));
  strZip += strComment;
  if (pLayout) *pLayout = layout;
  return strZip;
}

inline TZipItem ZipFile(const std::string& strName, const std::string& strData,
                        bool bDeflate = false) {
  TZipItem item;
  item.strName = strName;
  item.strData = strData;
  item.bDeflate = bDeflate;
  return item;
}

inline TZipItem ZipFolder(const std::string& strName) {
  TZipItem item;
  item.strName = strName;
  item.dwExternal = FILE_ATTRIBUTE_DIRECTORY;
  return item;
}

}  // namespace testutil
