#pragma once

// The HTTP client family: one interface tree, three clients (raw socket,
// WinINet, WinHTTP). Objects come from CreateHttpInstance and go through their
// own FreeInstance; each serves one request at a time on one thread.
#include <stddef.h>

#include <string>

// Error values recorded per client object; 0 means none yet. A later success
// leaves the last error in place.
enum HttpInterfaceError {
  kHttpErr_None = 0,
  kHttpErr_Open = 1,
  kHttpErr_Connect = 2,
  kHttpErr_Send = 3,
  kHttpErr_Query = 4,
  kHttpErr_Status = 5,
  kHttpErr_NoDownloadUrl = 6,
  kHttpErr_File = 7,
  kHttpErr_Incomplete = 8,
  kHttpErr_HostLookup = 9,
  kHttpErr_Socket = 10,
  kHttpErr_Cancelled = 11,
  kHttpErr_Length = 12,
  kHttpErr_NoHeaderEnd = 13,
  kHttpErr_NoRequestUrl = 14,
  kHttpErr_Write = 15,
};

enum HttpEvent {
  kHttp_Progress = 0,
  kHttp_Failed = 1,
  kHttp_Finished = 2,
};

enum HttpType {
  kHttpType_Socket = 0,
  kHttpType_Wininet = 1,
  kHttpType_WinHttp = 2,
};

// Implemented by the caller; runs on the thread that called the operation.
class IHttpCallback {
 public:
  virtual void OnHttpEvent(int nValue, int nEvent, double dTotal, double dReceived) = 0;
  virtual bool IsCancel() = 0;
};

// No virtual destructor here: each client declares its own, which takes the
// last slot of its table. Callers release objects with FreeInstance.
class IHttpBase {
 public:
  virtual void SetCallback(IHttpCallback* pCallback, int nValue) = 0;
  virtual bool DownloadFile(const wchar_t* pszUrl, const wchar_t* pszFilePath) = 0;
  // On success *ppData is a malloc'ed buffer the caller frees with free().
  virtual bool DownloadToMem(const wchar_t* pszUrl, void** ppData, size_t* pnSize) = 0;
  virtual void FreeInstance() = 0;
  virtual int GetErrorCode() = 0;
  virtual void AddHeader(const char* pszName, const char* pszValue) = 0;
  virtual int GetHttpCode() = 0;
};

class ISocketHttp : public IHttpBase {
 public:
  virtual std::wstring GetIpAddr() = 0;
};

class IWininetHttp : public IHttpBase {
 public:
  // nType 0 is GET, anything else POST. Returns the response body, empty
  // after any failure.
  virtual std::string Request(const wchar_t* pszUrl, int nType, const char* pszPostData,
                              const wchar_t* pszHeader) = 0;
  virtual std::string Request(const char* pszUrl, int nType, const char* pszPostData,
                              const char* pszHeader) = 0;
};

class IWinHttp : public IWininetHttp {
 public:
  // Milliseconds for connecting, sending and receiving in later requests.
  virtual void SetTimeOut(int nConnect, int nSend, int nReceive) = 0;
};

// Stores a new client of the given HttpType in *ppOut; an unknown type stores
// null and returns false.
bool CreateHttpInstance(IHttpBase** ppOut, int nType);
