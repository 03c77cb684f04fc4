#include "httpclient/HttpHeader.h"

#include <stdlib.h>

namespace {

const char kUserAgent[] =
    "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
    "Chrome/80.0.4044.92 Safari/537.36";

}  // namespace

void CHttpHeader::SetHeader(const std::string& strName, const std::string& strValue) {
  if (strName.empty() || strValue.empty()) return;
  m_mapHeaders.emplace(strName, strValue);
}

std::string CHttpHeader::GetHeader(const std::string& strName) const {
  auto it = m_mapHeaders.find(strName);
  return it == m_mapHeaders.end() ? std::string() : it->second;
}

void CHttpHeader::AddDefaultFields() {
  SetHeader("User-Agent", kUserAgent);
  SetHeader("Accept", "*/*");
  SetHeader("Connection", "Keep-Alive");
  SetHeader("Accept-Language", "zh-CN,zh;q=0.9");
}

std::string CHttpHeader::FieldLines() const {
  std::string strText;
  for (const auto& field : m_mapHeaders) {
    strText += field.first;
    strText += ": ";
    strText += field.second;
    strText += "\r\n";
  }
  return strText;
}

std::string CHttpHeader::GetRequestText() {
  if (m_strVersion.empty()) m_strVersion = "HTTP/1.1";
  AddDefaultFields();
  return "GET " + m_strUrl + " " + m_strVersion + "\r\n" + FieldLines() + "\r\n\r\n";
}

std::string CHttpHeader::GetHeaderText() {
  AddDefaultFields();
  return FieldLines();
}

void CHttpHeader::ParseResponseHead(const std::string& strHead) {
  size_t nStart = 0;
  bool bStatusLine = true;
  for (;;) {
    size_t nEnd = strHead.find("\r\n", nStart);
    std::string strLine = strHead.substr(nStart, nEnd == std::string::npos ? nEnd : nEnd - nStart);
    if (bStatusLine) {
      bStatusLine = false;
      m_strVersion = strLine.substr(0, 8);
      size_t nFirst = strLine.find(' ');
      size_t nSecond = nFirst == std::string::npos ? nFirst : strLine.find(' ', nFirst + 1);
      if (nFirst != std::string::npos) {
        m_nHttpCode = atoi(strLine.substr(nFirst + 1, nSecond - nFirst - 1).c_str());
      }
      m_strReason = nSecond == std::string::npos ? std::string() : strLine.substr(nSecond + 1);
    } else {
      size_t nColon = strLine.find(": ");
      if (nColon != std::string::npos) {
        m_mapHeaders.emplace(strLine.substr(0, nColon), strLine.substr(nColon + 2));
      }
    }
    if (nEnd == std::string::npos) break;
    nStart = nEnd + 2;
  }
}
