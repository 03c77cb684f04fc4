#include "httpclient/HttpSocket.h"
#include "httpclient/WinHttp.h"
#include "httpclient/WininetHttp.h"

bool CreateHttpInstance(IHttpBase** ppOut, int nType) {
  switch (nType) {
    case kHttpType_Socket:
      *ppOut = new CHttpSocket();
      return true;
    case kHttpType_Wininet:
      *ppOut = new CWininetHttp();
      return true;
    case kHttpType_WinHttp:
      *ppOut = new CWinHttp();
      return true;
    default:
      *ppOut = nullptr;
      return false;
  }
}
