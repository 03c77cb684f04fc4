#pragma once

// Unpacks the data of one archive entry piece by piece. The entry must yield
// exactly its recorded unpacked size with the recorded CRC-32; anything else
// is a failure, so damaged data is never passed on as a good entry.
#include <windows.h>
#include <zlib.h>

#include <vector>

namespace SkinUI {

class CZipSource;
struct TZipRecord;

class CZipEntryStream {
 public:
  CZipEntryStream() = default;
  ~CZipEntryStream();
  CZipEntryStream(const CZipEntryStream&) = delete;
  CZipEntryStream& operator=(const CZipEntryStream&) = delete;

  // dwDataEnd: the entry's data must end at or before this offset.
  DWORD Open(const CZipSource& source, const TZipRecord& record, DWORD dwDataEnd);
  // Fills up to dwSize bytes (fewer only at the end of the entry).
  DWORD Read(BYTE* pBuffer, DWORD dwSize, DWORD& dwRead);
  DWORD Remaining() const { return m_dwOutLeft; }

 private:
  DWORD ReadStored(BYTE* pBuffer, DWORD dwSize);
  DWORD ReadDeflated(BYTE* pBuffer, DWORD dwSize);
  bool FillInput();
  DWORD Finish();
  DWORD DrainDeflated();

  const CZipSource* m_pSource = nullptr;
  bool m_bDeflated = false;
  bool m_bInflateReady = false;
  bool m_bStreamEnd = false;
  z_stream m_zs = {};
  std::vector<BYTE> m_input;
  DWORD m_dwInPos = 0;
  DWORD m_dwInLeft = 0;
  DWORD m_dwOutLeft = 0;
  DWORD m_dwExpectedCrc = 0;
  uLong m_ulCrc = 0;
};

}  // namespace SkinUI
