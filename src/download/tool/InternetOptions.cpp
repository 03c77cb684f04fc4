// Process-wide WinINet state shared by both request stacks.
#include <windows.h>
#include <wininet.h>

#include <cstring>
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

bool CBaseRequest::QueryInternetOptDword(DWORD dwOption, DWORD& dwValue) {
  std::string strValue;
  if (!QueryInternetOpt(dwOption, strValue) || strValue.size() < sizeof(DWORD)) return false;
  memcpy(&dwValue, strValue.data(), sizeof(DWORD));
  return true;
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
