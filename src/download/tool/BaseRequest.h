#pragma once

// One HTTP request over either of the two Windows HTTP stacks. The segmented
// downloader creates one object per attempt: CreateInstance, set the fields,
// Request, then GetStatusCode / GetContentRange / GetUrlFileSize /
// HttpRead, then delete.
#include <windows.h>

#include <string>

#include "common/ScopedWin.h"

enum RequestType {
  kRequest_WinHttp = 0,
  kRequest_Internet = 1,
};

class CBaseRequest {
 public:
  CBaseRequest() = default;
  CBaseRequest(const CBaseRequest&) = delete;
  CBaseRequest& operator=(const CBaseRequest&) = delete;
  virtual ~CBaseRequest() = default;

  virtual const char* GetTypeName() = 0;
  // Content-Length of the response; false when it is missing or not a size.
  virtual bool GetUrlFileSize(int& nSize) = 0;
  // Body bytes read into pBuffer; 0 at the end of the body, -1 on failure.
  virtual int HttpRead(void* pBuffer, int nSize) = 0;
  virtual bool OpenSession() = 0;
  virtual bool ConnectSession(bool bSecure) = 0;
  virtual bool OpenRequest(bool bSecure) = 0;
  // True once the request is sent and the response headers have arrived.
  virtual bool SendRequest() = 0;
  // The response's HTTP status; callers decide which statuses carry what they asked for.
  virtual bool GetStatusCode(int& nStatus) = 0;
  // The response's Content-Range text as sent; false when there is none.
  virtual bool GetContentRange(std::wstring& strValue) = 0;

  // A new request of the given kRequest_ type, owned by the caller; null for other types.
  static CBaseRequest* CreateInstance(int nType);

  // Splits a URL after "http://" or "https://" into host and object name (the
  // rest after the host's "/", without it). bSecureOnly tells an https URL.
  // A URL with neither scheme leaves both names empty and still answers true.
  static bool ParseUrl(const std::wstring& strUrl, std::wstring& strHost,
                       std::wstring& strObjectName, bool& bSecureOnly);

  // TLS first; an http URL falls back to plain HTTP, an https URL never does.
  bool Request(const std::wstring& strUrl);

  // Process-wide WinINet state.
  static bool IsUseProxyConnect();
  static bool QueryInternetOpt(DWORD dwOption, std::string& strValue);
  static bool QueryInternetOptDword(DWORD dwOption, DWORD& dwValue);
  static bool InternetSetOpt(DWORD dwOption, DWORD dwValue);

  std::wstring m_strVerb = L"GET";
  std::wstring m_strHeaders;
  std::wstring m_strObjectName;
  std::wstring m_strServerName;
  int m_nMaxConnsPerServer = 0;

 protected:
  // Closes request, connection and session, in that order, and clears them.
  virtual void CloseHandles() = 0;

  // Set by Request for an https URL: no stack may then be led to plain HTTP.
  bool m_bSecureOnly = false;

 private:
  bool RequestImp(const std::wstring& strHost, const std::wstring& strObjectName, bool bSecure);
};

class CWinHttpRequest final : public CBaseRequest {
 public:
  const char* GetTypeName() override { return "WinHttp"; }
  bool GetUrlFileSize(int& nSize) override;
  int HttpRead(void* pBuffer, int nSize) override;
  bool OpenSession() override;
  bool ConnectSession(bool bSecure) override;
  bool OpenRequest(bool bSecure) override;
  bool SendRequest() override;
  bool GetStatusCode(int& nStatus) override;
  bool GetContentRange(std::wstring& strValue) override;

 protected:
  void CloseHandles() override;

 private:
  // Declared session first so that destruction closes request, connection, session.
  CWinHttpHandle m_hSession;
  CWinHttpHandle m_hConnect;
  CWinHttpHandle m_hRequest;
};

// Over WinINet every attempt is a TLS connection to port 443.
class CInternetRequest final : public CBaseRequest {
 public:
  const char* GetTypeName() override { return "Internet"; }
  bool GetUrlFileSize(int& nSize) override;
  int HttpRead(void* pBuffer, int nSize) override;
  bool OpenSession() override;
  bool ConnectSession(bool bSecure) override;
  bool OpenRequest(bool bSecure) override;
  bool SendRequest() override;
  bool GetStatusCode(int& nStatus) override;
  bool GetContentRange(std::wstring& strValue) override;

 protected:
  void CloseHandles() override;

 private:
  // Declared session first so that destruction closes request, connection, session.
  CInternetHandle m_hSession;
  CInternetHandle m_hConnect;
  CInternetHandle m_hRequest;
};
