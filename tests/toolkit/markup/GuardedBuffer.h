#pragma once

// A buffer with an inaccessible page right after its last byte (or right
// before its first), so a read or write outside it crashes the test at once.
#include <string.h>
#include <windows.h>

#include <string>

class CGuardedBuffer {
 public:
  explicit CGuardedBuffer(size_t nSize, bool bGuardAfter = true) : m_nSize(nSize) {
    SYSTEM_INFO si;
    GetSystemInfo(&si);
    size_t nPage = si.dwPageSize;
    size_t nPages = (nSize + nPage - 1) / nPage;
    m_pBase = static_cast<BYTE*>(
        VirtualAlloc(nullptr, (nPages + 2) * nPage, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    DWORD dwOld = 0;
    VirtualProtect(m_pBase, nPage, PAGE_NOACCESS, &dwOld);
    VirtualProtect(m_pBase + (nPages + 1) * nPage, nPage, PAGE_NOACCESS, &dwOld);
    m_pData = m_pBase + nPage + (bGuardAfter ? nPages * nPage - nSize : 0);
  }
  CGuardedBuffer(const std::string& strData, bool bGuardAfter = true)
      : CGuardedBuffer(strData.size(), bGuardAfter) {
    if (!strData.empty()) memcpy(m_pData, strData.data(), strData.size());
  }
  ~CGuardedBuffer() { VirtualFree(m_pBase, 0, MEM_RELEASE); }
  CGuardedBuffer(const CGuardedBuffer&) = delete;
  CGuardedBuffer& operator=(const CGuardedBuffer&) = delete;

  BYTE* Data() const { return m_pData; }
  DWORD Size() const { return static_cast<DWORD>(m_nSize); }
  std::string Bytes() const { return std::string(reinterpret_cast<char*>(m_pData), m_nSize); }

 private:
  BYTE* m_pBase = nullptr;
  BYTE* m_pData = nullptr;
  size_t m_nSize = 0;
};
