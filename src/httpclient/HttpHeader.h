#pragma once

#include <map>
#include <string>

// Header fields of one request or one parsed response. A field name is kept
// once: the first value set (or parsed) for a name stays.
class CHttpHeader {
 public:
  CHttpHeader() = default;
  virtual ~CHttpHeader() = default;

  // Adds the field when both texts are non-empty and the name is new.
  void SetHeader(const std::string& strName, const std::string& strValue);
  std::string GetHeader(const std::string& strName) const;

  // The head of a GET request for m_strUrl, default fields included.
  std::string GetRequestText();
  // Only the field lines, default fields included.
  std::string GetHeaderText();
  void ParseResponseHead(const std::string& strHead);

  int m_nHttpCode = 0;
  std::string m_strVersion;
  std::string m_strReason;
  std::string m_strUrl;
  std::map<std::string, std::string> m_mapHeaders;

 private:
  void AddDefaultFields();
  std::string FieldLines() const;
};
