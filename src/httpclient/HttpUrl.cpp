#include "httpclient/HttpUrl.h"

#include <stdlib.h>
#include <windows.h>

#include "common/TextConv.h"

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
  return MultiByteToWideString(CP_ACP, strText);
}

std::string WideToAnsi(const std::wstring& strText) {
  return WideToMultiByteString(CP_ACP, strText);
}
