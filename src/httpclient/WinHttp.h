#pragma once

#include <stdint.h>

#include <string>

#include "common/ScopedWin.h"
#include "httpclient/HttpHeader.h"
#include "httpclient/HttpInterface.h"

// The client over WinHTTP, synchronous. TLS requests keep the stack's full
// certificate validation: a report must never reach an impostor collector.
class CWinHttp : public IWinHttp {
 public:
  CWinHttp();

  void SetCallback(IHttpCallback* pCallback, int nValue) override;
  bool DownloadFile(const wchar_t* pszUrl, const wchar_t* pszFilePath) override;
  bool DownloadToMem(const wchar_t* pszUrl, void** ppData, size_t* pnSize) override;
  void FreeInstance() override;
  int GetErrorCode() override { return m_nErrorCode; }
  void AddHeader(const char* pszName, const char* pszValue) override;
  int GetHttpCode() override { return m_nHttpCode; }
  std::string Request(const wchar_t* pszUrl, int nType, const char* pszPostData,
                      const wchar_t* pszHeader) override;
  std::string Request(const char* pszUrl, int nType, const char* pszPostData,
                      const char* pszHeader) override;
  void SetTimeOut(int nConnect, int nSend, int nReceive) override;
  virtual ~CWinHttp();

 private:
  bool OpenSession();
  bool RunRequest(const std::wstring& strUrl, int nType, const char* pszPostData,
                  const wchar_t* pszHeader);
  int QueryStatusCode();
  bool QueryContentLength(long long& nLength);
  // Reads the rest of the body, handing each block to the sink; false when
  // the stack failed before the end or the sink refused a block.
  template <typename Sink>
  bool ReadBody(Sink sink);
  bool Fail(HttpInterfaceError nError);
  void CloseHandles();

  int m_nHttpCode = 0;
  bool m_bSecure = false;
  CWinHttpHandle m_hSession;
  CWinHttpHandle m_hConnect;
  CWinHttpHandle m_hRequest;
  int m_nConnectTimeout = 5000;
  int m_nSendTimeout = 5000;
  int m_nReceiveTimeout = 5000;
  CHttpHeader m_header;
  int m_nCallbackValue = 0;
  IHttpCallback* m_pCallback = nullptr;
  int m_nErrorCode = kHttpErr_None;
};
