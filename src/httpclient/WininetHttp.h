#pragma once

#include <stdint.h>
#include <stdio.h>

#include <string>

#include "common/ScopedWin.h"
#include "httpclient/HttpHeader.h"
#include "httpclient/HttpInterface.h"

// The client over WinINet. Every operation opens its own session, connection
// and request; the handles stay open until the next operation or destruction.
class CWininetHttp : public IWininetHttp {
 public:
  CWininetHttp();

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
  virtual ~CWininetHttp();

 private:
  struct RequestArgs;

  bool OpenRequest(const RequestArgs& args);
  bool ConnectAndOpen(const RequestArgs& args);
  bool SendRequest(const RequestArgs& args);
  std::string ReadBody();
  bool DownloadFileBody(FILE* pFile, double dTotal);
  bool Fail(HttpInterfaceError nError);
  void CloseHandles();

  int m_nHttpCode = 0;
  bool m_bSecure = false;
  CInternetHandle m_hSession;
  CInternetHandle m_hConnect;
  CInternetHandle m_hRequest;
  CHttpHeader m_header;
  int m_nCallbackValue = 0;
  IHttpCallback* m_pCallback = nullptr;
  int m_nErrorCode = kHttpErr_None;
};
