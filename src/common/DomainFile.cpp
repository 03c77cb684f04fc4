#include "common/DomainFile.h"

#include <string.h>

#include "common/ResourceData.h"
#include "common/ScopedWin.h"
#include "log/Log.h"

namespace {

const WORD kDomainResource = 106;
// The resource holds at most 255 bytes; the reader keeps one byte for the terminator.
const DWORD kDomainBufferSize = 256;

std::wstring AnsiToWide(const char* pszText) {
  int nLength = static_cast<int>(strlen(pszText));
  if (nLength == 0) return std::wstring();
  int nWide = MultiByteToWideChar(CP_ACP, 0, pszText, nLength, nullptr, 0);
  if (nWide <= 0) return std::wstring();
  std::wstring strWide(nWide, L'\0');
  MultiByteToWideChar(CP_ACP, 0, pszText, nLength, &strWide[0], nWide);
  return strWide;
}

std::string WideToAnsi(const std::wstring& strText) {
  if (strText.empty()) return std::string();
  int nLength = static_cast<int>(strText.size());
  int nBytes =
      WideCharToMultiByte(CP_ACP, 0, strText.data(), nLength, nullptr, 0, nullptr, nullptr);
  if (nBytes <= 0) return std::string();
  std::string strAnsi(nBytes, '\0');
  WideCharToMultiByte(CP_ACP, 0, strText.data(), nLength, &strAnsi[0], nBytes, nullptr, nullptr);
  return strAnsi;
}

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
  return RemoveCrLf(AnsiToWide(szBuffer));
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
  return RemoveCrLf(AnsiToWide(szBuffer));
}

bool WriteDomainFile(const std::wstring& strDomain, const std::wstring& strProductFolder) {
  std::string strAnsi = WideToAnsi(strDomain);
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
