#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "httpclient/CollectorFixture.h"
#include "httpclient/HttpInterface.h"

namespace {

class CSocketClient {
 public:
  CSocketClient() {
    IHttpBase* pHttp = nullptr;
    CreateHttpInstance(&pHttp, kHttpType_Socket);
    m_pHttp = static_cast<ISocketHttp*>(pHttp);
  }
  ~CSocketClient() { m_pHttp->FreeInstance(); }
  ISocketHttp* operator->() const { return m_pHttp; }

  // The body as text, or "" after a failure.
  std::string ToMem(const std::wstring& strUrl, bool* pbOk) {
    void* pData = nullptr;
    size_t nSize = 0;
    *pbOk = m_pHttp->DownloadToMem(strUrl.c_str(), &pData, &nSize);
    std::string strData(static_cast<char*>(pData), *pbOk ? nSize : 0);
    free(pData);
    return strData;
  }

 private:
  ISocketHttp* m_pHttp = nullptr;
};

class CCancelCallback : public IHttpCallback {
 public:
  void OnHttpEvent(int nValue, int nEvent, double dTotal, double dReceived) override {
    m_events.push_back(nEvent);
  }
  bool IsCancel() override { return !m_events.empty(); }

  std::vector<int> m_events;
};

std::wstring Http(const wchar_t* pszPath) {
  return std::wstring(kCollectorHttp) + pszPath;
}

int ConnectionOf(const std::string& strLine) {
  return atoi(strLine.c_str());
}

TEST(ServerSocket, DownloadsToMemoryAndNamesTheAddress) {
  SKIP_WITHOUT_COLLECTOR();
  CSocketClient client;
  bool bOk = false;
  EXPECT_EQ(PatternBytes(30000), client.ToMem(Http(L"/bytes/30000"), &bOk));
  EXPECT_TRUE(bOk);
  EXPECT_EQ(200, client->GetHttpCode());
  EXPECT_EQ(L"127.0.0.1", client->GetIpAddr());
  EXPECT_EQ(
      "GET /bytes/30000 HTTP/1.1\r\n"
      "Accept: */*\r\n"
      "Accept-Language: zh-CN,zh;q=0.9\r\n"
      "Connection: Keep-Alive\r\n"
      "Host: localhost\r\n"
      "User-Agent: Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like "
      "Gecko) Chrome/80.0.4044.92 Safari/537.36\r\n"
      "\r\n",
      LastRequest());
}

TEST(ServerSocket, AbsoluteRedirectReconnectsAndPathRedirectReusesTheConnection) {
  SKIP_WITHOUT_COLLECTOR();
  bool bOk = false;
  {
    CSocketClient client;
    EXPECT_EQ(PatternBytes(100), client.ToMem(Http(L"/redirect/abs/100"), &bOk));
    EXPECT_TRUE(bOk);
    std::vector<std::string> log = RequestLog();
    ASSERT_GE(log.size(), 2u);
    EXPECT_NE(std::string::npos, log[log.size() - 2].find("GET /redirect/abs/100"));
    EXPECT_NE(std::string::npos, log.back().find("GET /bytes/100"));
    EXPECT_NE(ConnectionOf(log[log.size() - 2]), ConnectionOf(log.back()));
  }
  {
    CSocketClient client;
    EXPECT_EQ(PatternBytes(64), client.ToMem(Http(L"/redirect/path/64"), &bOk));
    EXPECT_TRUE(bOk);
    std::vector<std::string> log = RequestLog();
    EXPECT_NE(std::string::npos, log.back().find("GET /bytes/64"));
    EXPECT_EQ(ConnectionOf(log[log.size() - 2]), ConnectionOf(log.back()));
  }
  {
    std::wstring strFile = CollectorLogDir() + L"\\redirected.bin";
    CSocketClient client;
    EXPECT_TRUE(client->DownloadFile(Http(L"/redirect/path/300").c_str(), strFile.c_str()));
    EXPECT_EQ(PatternBytes(300), ReadWholeFile(strFile));
  }
}

TEST(ServerSocket, CancelRecordsErrorReportsFailureAndDeletesTheFile) {
  SKIP_WITHOUT_COLLECTOR();
  std::wstring strFile = CollectorLogDir() + L"\\cancelled.bin";
  CSocketClient client;
  CCancelCallback callback;
  client->SetCallback(&callback, 1);
  EXPECT_FALSE(client->DownloadFile(Http(L"/bytes/1000000").c_str(), strFile.c_str()));
  EXPECT_EQ(kHttpErr_Cancelled, client->GetErrorCode());
  ASSERT_FALSE(callback.m_events.empty());
  EXPECT_EQ(kHttp_Failed, callback.m_events.back());
  EXPECT_FALSE(testutil::PathExists(strFile));
}

// Whatever a server sends, each download ends in its expected result or a
// recorded error; bodies never run past what was announced.
struct HostileCase {
  const char* pszPath;
  int nMemError;  // 0: success with strMemBody
  std::string strMemBody;
  int nFileError;  // 0: success with strFileBody
  std::string strFileBody;
};

TEST(ServerSocket, HostileResponsesEndInErrorsOrCorrectResults) {
  SKIP_WITHOUT_COLLECTOR();
  const HostileCase cases[] = {
      {"/splithead", 0, "hello", 0, "hello"},
      {"/nulhead", 0, "abc", 0, "abc"},
      {"/longhead", kHttpErr_NoHeaderEnd, "", kHttpErr_NoHeaderEnd, ""},
      {"/headonly", kHttpErr_NoHeaderEnd, "", kHttpErr_NoHeaderEnd, ""},
      {"/garbage", kHttpErr_NoHeaderEnd, "", kHttpErr_NoHeaderEnd, ""},
      {"/close", kHttpErr_NoHeaderEnd, "", kHttpErr_NoHeaderEnd, ""},
      {"/nolength/100", kHttpErr_Length, "", 0, PatternBytes(100)},
      {"/body/10/100", 0, PatternBytes(10), 0, PatternBytes(10)},
      {"/body/100/10", kHttpErr_Incomplete, "", kHttpErr_Incomplete, ""},
      {"/badlength/-5", kHttpErr_Length, "", kHttpErr_Length, ""},
      {"/badlength/abc", kHttpErr_Length, "", kHttpErr_Length, ""},
      {"/badlength/99999999999999999999999", kHttpErr_Length, "", kHttpErr_Length, ""},
      {"/badlength/9000000", kHttpErr_Length, "", kHttpErr_Incomplete, ""},
      {"/badlength/0", kHttpErr_Length, "", 0, ""},
      {"/redirect/loop", kHttpErr_Status, "", kHttpErr_Status, ""},
      {"/redirect/absloop", kHttpErr_Status, "", kHttpErr_Status, ""},
      {"/redirect/nolocation", kHttpErr_Status, "", kHttpErr_Status, ""},
      {"/redirect/chain/8", 0, PatternBytes(7), 0, PatternBytes(7)},
      {"/redirect/bigbody", 0, PatternBytes(9), 0, PatternBytes(9)},
      {"/status/400", kHttpErr_Status, "", kHttpErr_Status, ""},
      {"/status/404", 0, "status 404", 0, "status 404"},
  };
  std::wstring strFile = CollectorLogDir() + L"\\hostile.bin";
  for (const HostileCase& c : cases) {
    SCOPED_TRACE(c.pszPath);
    std::wstring strUrl = Http(std::wstring(c.pszPath, c.pszPath + strlen(c.pszPath)).c_str());
    CSocketClient memClient;
    bool bOk = false;
    std::string strBody = memClient.ToMem(strUrl, &bOk);
    EXPECT_EQ(c.nMemError == 0, bOk);
    EXPECT_EQ(c.nMemError, memClient->GetErrorCode());
    EXPECT_TRUE(c.strMemBody == strBody) << strBody.size();

    CSocketClient fileClient;
    bOk = fileClient->DownloadFile(strUrl.c_str(), strFile.c_str());
    EXPECT_EQ(c.nFileError == 0, bOk);
    EXPECT_EQ(c.nFileError, fileClient->GetErrorCode());
    EXPECT_EQ(bOk, testutil::PathExists(strFile));
    EXPECT_TRUE(c.strFileBody == ReadWholeFile(strFile));
  }
}

TEST(ServerSocket, RefusesTlsAndReportsUnreachableTargets) {
  SKIP_WITHOUT_COLLECTOR();
  bool bOk = true;
  {
    // A redirection to https is refused like a direct https URL: nothing recorded.
    CSocketClient client;
    EXPECT_EQ("", client.ToMem(Http(L"/redirect/https"), &bOk));
    EXPECT_FALSE(bOk);
    EXPECT_EQ(0, client->GetErrorCode());
  }
  {
    CSocketClient client;
    client.ToMem(L"http://localhost:1/x", &bOk);
    EXPECT_FALSE(bOk);
    EXPECT_EQ(kHttpErr_Open, client->GetErrorCode());
    EXPECT_FALSE(client->DownloadFile(L"http://localhost:1/x", L"unused.bin"));
    EXPECT_EQ(kHttpErr_Connect, client->GetErrorCode());
    EXPECT_FALSE(client->DownloadFile(L"http://no-such-host.invalid/x", L"unused.bin"));
    EXPECT_EQ(kHttpErr_HostLookup, client->GetErrorCode());
  }
}

}  // namespace
