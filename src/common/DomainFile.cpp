#include "common/DomainFile.h"

#include <string.h>

#include "common/ResourceData.h"
#include "common/ScopedWin.h"
#include "common/TextConv.h"
#include "log/Log.h"

namespace {

const WORD kDomainResource = 106;
// The resource holds at most 255 bytes; the reader keeps one byte for the terminator.
const DWORD kDomainBufferSize = 256;

void CopyDomainBytes(const void* pData, DWORD dwSize, char (&szBuffer)[kDomainBufferSize]) {
  memset(szBuffer, 0, sizeof(szBuffer));
  if (!pData) return;
  memcpy(szBuffer, pData, dwSize < kDomainBufferSize - 1 ? dwSize : kDomainBufferSize - 1);
}

std::wstring RemoveCrLf(std::wstring strText) {
  for (size_t nPos = strText.find(L"\r\n"); nPos != std::wstring::npos;
       nPos = strText.find(L"\r\n", nPos))
    strText.erase(nPos, 2);
  return strText;
}

}  // namespace

std::wstring DomainFromBytes(const void* pData, DWORD dwSize) {
  char szBuffer[kDomainBufferSize];
  CopyDomainBytes(pData, dwSize, szBuffer);
  return RemoveCrLf(MultiByteToWideString(CP_ACP, szBuffer));
}

std::wstring LoadDomainFile() {
  LOGA(LOG_INFO, "LoadDomainFile");
  const void* pData = nullptr;
  DWORD dwSize = 0;
  LoadResourceBytes(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(10), kDomainResource, &pData,
                    &dwSize);
  char szBuffer[kDomainBufferSize];
  CopyDomainBytes(pData, dwSize, szBuffer);
  LOGA(LOG_INFO, "Domain:%s", szBuffer);
  return RemoveCrLf(MultiByteToWideString(CP_ACP, szBuffer));
}

bool WriteDomainFile(const std::wstring& strDomain, const std::wstring& strProductFolder) {
  std::string strAnsi = WideToMultiByteString(CP_ACP, strDomain);
  if (strAnsi.empty()) return false;
  std::wstring strPath = strProductFolder;
  if (!strPath.empty() && strPath.back() != L'\\') strPath += L'\\';
  strPath += L"domain";
  CFileHandle hFile(CreateFileW(strPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!hFile.IsValid()) return false;
  DWORD dwWritten = 0;
  return WriteFile(hFile, strAnsi.data(), static_cast<DWORD>(strAnsi.size()), &dwWritten,
                   nullptr) &&
         dwWritten == strAnsi.size();
}
