#pragma once

// Winsock 2 must come before anything that pulls in windows.h.
#include <stdint.h>
#include <stdio.h>

#include <string>

#include "httpclient/HttpHeader.h"
#include "httpclient/HttpInterface.h"

// Plain-HTTP client that speaks HTTP/1.1 itself over a TCP socket. It refuses
// TLS targets (port 443) and follows a bounded number of redirections.
class CHttpSocket : public ISocketHttp {
 public:
  CHttpSocket();

  void SetCallback(IHttpCallback* pCallback, int nValue) override;
  bool DownloadFile(const wchar_t* pszUrl, const wchar_t* pszFilePath) override;
  bool DownloadToMem(const wchar_t* pszUrl, void** ppData, size_t* pnSize) override;
  void FreeInstance() override;
  int GetErrorCode() override { return m_nErrorCode; }
  void AddHeader(const char* pszName, const char* pszValue) override;
  int GetHttpCode() override { return m_nHttpCode; }
  std::wstring GetIpAddr() override { return m_strIpAddr; }
  virtual ~CHttpSocket();

 private:
  // How OpenResponse ended when it answered false without a usable head.
  struct COpenFailure {
    bool bRefused = false;
    bool bConnectFailed = false;
  };

  bool Connect(const std::wstring& strHost, uint16_t nPort);
  bool SendRequest(const std::wstring& strPath);
  bool ReadHead(bool bCheckCancel, CHttpHeader& head, std::string& strRest);
  bool OpenResponse(const std::wstring& strUrl, bool bCheckCancel, CHttpHeader& head,
                    std::string& strRest, COpenFailure& failure);
  bool ReceiveFileBody(const CHttpHeader& head, const std::string& strRest, FILE* pFile);
  bool ReceiveMemBody(const CHttpHeader& head, const std::string& strRest, void** ppData,
                      size_t* pnSize);
  int Receive(char* pBuffer, size_t nSize);
  bool IsCancelled();
  void ReportProgress(int nEvent, double dTotal, double dReceived);
  bool Fail(HttpInterfaceError nError);
  void CloseSocket();

  int m_nHttpCode = 0;
  uintptr_t m_socket;  // a Winsock SOCKET; winsock2.h stays out of this header
  std::wstring m_strIpAddr;
  CHttpHeader m_header;
  int m_nCallbackValue = 0;
  IHttpCallback* m_pCallback = nullptr;
  int m_nErrorCode = kHttpErr_None;
  bool m_bWinsockReady = false;
};
