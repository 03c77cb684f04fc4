#include "toolkit/markup/ZipEntryStream.h"

#include "toolkit/markup/ZipDirectory.h"
#include "toolkit/markup/ZipReader.h"
#include "toolkit/markup/ZipSource.h"

namespace SkinUI {

namespace {

const DWORD kLocalSignature = 0x04034b50;
const DWORD kLocalHeaderSize = 30;
const DWORD kInputBufferSize = 16 * 1024;
// Deflate cannot expand data by more than 1032:1; a recorded size beyond that is a lie.
const ULONGLONG kMaxDeflateRatio = 1032;

}  // namespace

CZipEntryStream::~CZipEntryStream() {
  if (m_bInflateReady) inflateEnd(&m_zs);
}

DWORD CZipEntryStream::Open(const CZipSource& source, const TZipRecord& record, DWORD dwDataEnd) {
  if (record.wFlags & 0x0041) return kZipResult_Unsupported;  // encrypted
  if (record.wMethod != 0 && record.wMethod != 8) return kZipResult_Unsupported;
  if (record.dwPackedSize == 0xFFFFFFFF || record.dwUnpackedSize == 0xFFFFFFFF ||
      record.dwLocalOffset == 0xFFFFFFFF)
    return kZipResult_Unsupported;
  BYTE header[kLocalHeaderSize];
  if (static_cast<ULONGLONG>(record.dwLocalOffset) + kLocalHeaderSize > dwDataEnd ||
      !source.ReadAt(record.dwLocalOffset, header, kLocalHeaderSize) ||
      ZipLe32(header) != kLocalSignature)
    return kZipResult_Corrupt;
  ULONGLONG ullData = static_cast<ULONGLONG>(record.dwLocalOffset) + kLocalHeaderSize +
                      ZipLe16(header + 26) + ZipLe16(header + 28);
  if (ullData + record.dwPackedSize > dwDataEnd) return kZipResult_Corrupt;

  m_bDeflated = record.wMethod == 8;
  if (!m_bDeflated && record.dwPackedSize != record.dwUnpackedSize) return kZipResult_Corrupt;
  if (m_bDeflated && record.dwUnpackedSize > (record.dwPackedSize + 1ULL) * kMaxDeflateRatio)
    return kZipResult_Corrupt;
  // Some writers record an empty deflated entry with no deflate data at all.
  m_bStreamEnd = m_bDeflated && record.dwPackedSize == 0 && record.dwUnpackedSize == 0;
  if (m_bDeflated) {
    if (inflateInit2(&m_zs, -MAX_WBITS) != Z_OK) return kZipResult_Unpack;
    m_bInflateReady = true;
    m_input.resize(kInputBufferSize);
  }
  m_pSource = &source;
  m_dwInPos = static_cast<DWORD>(ullData);
  m_dwInLeft = record.dwPackedSize;
  m_dwOutLeft = record.dwUnpackedSize;
  m_dwExpectedCrc = record.dwCrc;
  m_ulCrc = crc32(0, Z_NULL, 0);
  return m_dwOutLeft == 0 ? Finish() : kZipResult_Ok;
}

DWORD CZipEntryStream::Read(BYTE* pBuffer, DWORD dwSize, DWORD& dwRead) {
  dwRead = dwSize < m_dwOutLeft ? dwSize : m_dwOutLeft;
  if (dwRead == 0) return kZipResult_Ok;
  DWORD dwResult = m_bDeflated ? ReadDeflated(pBuffer, dwRead) : ReadStored(pBuffer, dwRead);
  if (dwResult != kZipResult_Ok) return dwResult;
  m_ulCrc = crc32(m_ulCrc, pBuffer, dwRead);
  m_dwOutLeft -= dwRead;
  return m_dwOutLeft == 0 ? Finish() : kZipResult_Ok;
}

DWORD CZipEntryStream::ReadStored(BYTE* pBuffer, DWORD dwSize) {
  if (!m_pSource->ReadAt(m_dwInPos, pBuffer, dwSize)) return kZipResult_Unpack;
  m_dwInPos += dwSize;
  m_dwInLeft -= dwSize;
  return kZipResult_Ok;
}

bool CZipEntryStream::FillInput() {
  DWORD dwChunk = m_dwInLeft < kInputBufferSize ? m_dwInLeft : kInputBufferSize;
  if (dwChunk == 0 || !m_pSource->ReadAt(m_dwInPos, m_input.data(), dwChunk)) return false;
  m_dwInPos += dwChunk;
  m_dwInLeft -= dwChunk;
  m_zs.next_in = m_input.data();
  m_zs.avail_in = dwChunk;
  return true;
}

// Every round either consumes input, produces output or fails, so the loop
// ends after at most the entry's packed plus unpacked size.
DWORD CZipEntryStream::ReadDeflated(BYTE* pBuffer, DWORD dwSize) {
  m_zs.next_out = pBuffer;
  m_zs.avail_out = dwSize;
  while (m_zs.avail_out > 0) {
    if (m_bStreamEnd) return kZipResult_Unpack;  // shorter than recorded
    if (m_zs.avail_in == 0 && m_dwInLeft > 0 && !FillInput()) return kZipResult_Unpack;
    int nRet = inflate(&m_zs, Z_NO_FLUSH);
    if (nRet == Z_STREAM_END)
      m_bStreamEnd = true;
    else if (nRet != Z_OK)
      return kZipResult_Unpack;
  }
  return kZipResult_Ok;
}

// The recorded size has been produced: the deflate stream must end here and
// the data must match the recorded CRC-32.
DWORD CZipEntryStream::Finish() {
  if (m_bDeflated && !m_bStreamEnd) {
    DWORD dwResult = DrainDeflated();
    if (dwResult != kZipResult_Ok) return dwResult;
  }
  return m_ulCrc == m_dwExpectedCrc ? kZipResult_Ok : kZipResult_Unpack;
}

DWORD CZipEntryStream::DrainDeflated() {
  BYTE byExtra = 0;
  while (!m_bStreamEnd) {
    m_zs.next_out = &byExtra;
    m_zs.avail_out = 1;
    if (m_zs.avail_in == 0 && m_dwInLeft > 0 && !FillInput()) return kZipResult_Unpack;
    int nRet = inflate(&m_zs, Z_NO_FLUSH);
    if (m_zs.avail_out == 0) return kZipResult_Unpack;  // longer than recorded
    if (nRet == Z_STREAM_END)
      m_bStreamEnd = true;
    else if (nRet != Z_OK)
      return kZipResult_Unpack;
  }
  return kZipResult_Ok;
}

}  // namespace SkinUI
