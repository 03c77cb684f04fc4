#pragma once

// The end-of-central-directory record and the central directory of a zip
// archive, read into records whose every length has been checked.
#include <windows.h>

#include <string>
#include <vector>

namespace SkinUI {

class CZipSource;

struct TZipRecord {
  WORD wMadeBy = 0;
  WORD wFlags = 0;
  WORD wMethod = 0;
  WORD wDosTime = 0;
  WORD wDosDate = 0;
  DWORD dwCrc = 0;
  DWORD dwPackedSize = 0;
  DWORD dwUnpackedSize = 0;
  DWORD dwExternalAttributes = 0;
  DWORD dwLocalOffset = 0;
  std::string strName;   // raw ANSI bytes
  std::string strExtra;  // the central extra field
};

struct TZipDirectory {
  DWORD dwOffset = 0;  // where the central directory starts; entry data must end before it
  std::vector<TZipRecord> records;
};

DWORD ReadZipDirectory(const CZipSource& source, TZipDirectory& directory);

}  // namespace SkinUI
