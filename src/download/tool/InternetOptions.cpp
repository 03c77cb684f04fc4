// Process-wide WinINet state shared by both request stacks.
#include <windows.h>
#include <wininet.h>

#include <memory>
#include <new>

#include "download/tool/BaseRequest.h"
#include "log/Log.h"

bool CBaseRequest::IsUseProxyConnect() {
  DWORD dwFlags = 0;
  if (!InternetGetConnectedState(&dwFlags, 0)) {
    LOGA(LOG_INFO, "ERR:InternetGetConnectedState fail 0x%x",
         static_cast<unsigned>(GetLastError()));
    return false;
  }
  return (dwFlags & INTERNET_CONNECTION_PROXY) != 0;
}

bool CBaseRequest::QueryInternetOpt(DWORD dwOption, std::string& strValue) {
  DWORD dwLength = 0;
  if (InternetQueryOptionW(nullptr, dwOption, nullptr, &dwLength)) return false;
  std::unique_ptr<char[]> buffer(new (std::nothrow) char[dwLength]);
  if (!buffer) {
    LOGA(LOG_INFO, "ERR: new %d bytes fail!", static_cast<int>(dwLength));
    return false;
  }
  if (!InternetQueryOptionW(nullptr, dwOption, buffer.get(), &dwLength)) {
    LOGA(LOG_INFO, "ERR: InternetQueryOption fail! 0x%x", static_cast<unsigned>(GetLastError()));
    return false;
  }
  strValue.assign(buffer.get(), dwLength);
  return true;
}

// Straight into a number: Wine reports no length for a sizing query of the
// numeric options, so the two-step byte query fails there.
bool CBaseRequest::QueryInternetOptDword(DWORD dwOption, DWORD& dwValue) {
  DWORD dwLength = sizeof(dwValue);
  return InternetQueryOptionW(nullptr, dwOption, &dwValue, &dwLength) &&
         dwLength == sizeof(dwValue);
}

bool CBaseRequest::InternetSetOpt(DWORD dwOption, DWORD dwValue) {
  DWORD dwCurrent = 0;
  if (QueryInternetOptDword(dwOption, dwCurrent) && dwCurrent == dwValue) return true;
  if (!InternetSetOptionW(nullptr, dwOption, &dwValue, sizeof(dwValue))) {
    LOGA(LOG_INFO, "ERR: InternetSetOption fail! 0x%x", static_cast<unsigned>(GetLastError()));
    return false;
  }
  return QueryInternetOptDword(dwOption, dwCurrent) && dwCurrent == dwValue;
}
