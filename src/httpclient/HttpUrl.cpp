#include "httpclient/HttpUrl.h"

#include <stdlib.h>
#include <windows.h>

namespace {

template <typename String>
void SplitUrlT(const String& strUrl, const String& strHttp, const String& strHttps, String& strHost,
               String& strPath, uint16_t& nPort) {
  nPort = 80;
  String strRest = strUrl;
  size_t nScheme = strUrl.find(strHttp);
  if (nScheme != String::npos) {
    strRest = strUrl.substr(nScheme + strHttp.size());
  } else if ((nScheme = strUrl.find(strHttps)) != String::npos) {
    nPort = 443;
    strRest = strUrl.substr(nScheme + strHttps.size());
  }
  size_t nSlash = strRest.find('/');
  strHost = strRest.substr(0, nSlash);
  strPath = nSlash == String::npos ? String(1, '/') : strRest.substr(nSlash);
  size_t nColon = strHost.find(':');
  if (nColon == String::npos) return;
  unsigned long nValue = 0;
  for (size_t i = nColon + 1; i < strHost.size() && strHost[i] >= '0' && strHost[i] <= '9'; ++i) {
    nValue = (nValue * 10 + (strHost[i] - '0')) & 0xFFFF;
  }
  nPort = static_cast<uint16_t>(nValue);
  strHost.resize(nColon);
}

}  // namespace

void SplitUrl(const std::wstring& strUrl, std::wstring& strHost, std::wstring& strPath,
              uint16_t& nPort) {
  SplitUrlT<std::wstring>(strUrl, L"http://", L"https://", strHost, strPath, nPort);
}

void SplitUrl(const std::string& strUrl, std::string& strHost, std::string& strPath,
              uint16_t& nPort) {
  SplitUrlT<std::string>(strUrl, "http://", "https://", strHost, strPath, nPort);
}

std::wstring AnsiToWide(const std::string& strText) {
  if (strText.empty()) return std::wstring();
  int nChars =
      MultiByteToWideChar(CP_ACP, 0, strText.data(), static_cast<int>(strText.size()), nullptr, 0);
  if (nChars <= 0) return std::wstring();
  std::wstring strWide(nChars, L'\0');
  MultiByteToWideChar(CP_ACP, 0, strText.data(), static_cast<int>(strText.size()), &strWide[0],
                      nChars);
  return strWide;
}

std::string WideToAnsi(const std::wstring& strText) {
  if (strText.empty()) return std::string();
  int nBytes = WideCharToMultiByte(CP_ACP, 0, strText.data(), static_cast<int>(strText.size()),
                                   nullptr, 0, nullptr, nullptr);
  if (nBytes <= 0) return std::string();
  std::string strAnsi(nBytes, '\0');
  WideCharToMultiByte(CP_ACP, 0, strText.data(), static_cast<int>(strText.size()), &strAnsi[0],
                      nBytes, nullptr, nullptr);
  return strAnsi;
}
