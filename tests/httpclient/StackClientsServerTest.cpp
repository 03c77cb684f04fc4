#include <gtest/gtest.h>
#include <stdlib.h>

#include <memory>
#include <string>
#include <vector>

#include "httpclient/CollectorFixture.h"
#include "httpclient/HttpInterface.h"

namespace {

const char kJsonType[] = "Content-Type: application/json; charset=utf-8";

struct CHttpDeleter {
  void operator()(IHttpBase* pHttp) const { pHttp->FreeInstance(); }
};

template <typename T>
std::unique_ptr<T, CHttpDeleter> MakeClient(int nType) {
  IHttpBase* pHttp = nullptr;
  CreateHttpInstance(&pHttp, nType);
  return std::unique_ptr<T, CHttpDeleter>(static_cast<T*>(pHttp));
}

std::wstring Url(const wchar_t* pszBase, const wchar_t* pszPath) {
  return std::wstring(pszBase) + pszPath;
}

class CRecordingCallback : public IHttpCallback {
 public:
  void OnHttpEvent(int nValue, int nEvent, double dTotal, double dReceived) override {
    m_values.push_back(nValue);
    m_events.push_back(nEvent);
    m_dLastTotal = dTotal;
    m_dLastReceived = dReceived;
  }
  bool IsCancel() override { return false; }

  std::vector<int> m_values;
  std::vector<int> m_events;
  double m_dLastTotal = -1;
  double m_dLastReceived = -1;
};

TEST(ServerWinHttp, PostCarriesDefaultFieldsContentTypeAndBody) {
  SKIP_WITHOUT_COLLECTOR();
  auto pHttp = MakeClient<IWinHttp>(kHttpType_WinHttp);
  const char kBody[] = "{\n    \"client_id\": \"x\"\n}";
  std::string strResult = pHttp->Request(
      "https://localhost/mp/collect?measurement_id=G-1&api_secret=s", 1, kBody, kJsonType);
  EXPECT_EQ("collected", strResult);
  EXPECT_EQ(200, pHttp->GetHttpCode());
  EXPECT_EQ(0, pHttp->GetErrorCode());

  std::string strRequest = LastRequest();
  EXPECT_EQ(0u, strRequest.find("POST /mp/collect?measurement_id=G-1&api_secret=s HTTP/1.1\r\n"))
      << strRequest;
  const char* lines[] = {
      "\r\nUser-Agent: Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, "
      "like Gecko) Chrome/80.0.4044.92 Safari/537.36\r\n",
      "\r\nAccept: */*\r\n",
      "\r\nConnection: Keep-Alive\r\n",
      "\r\nAccept-Language: zh-CN,zh;q=0.9\r\n",
      "\r\nContent-Type: application/json; charset=utf-8\r\n",
      "\r\nHost: localhost\r\n",
  };
  for (const char* pszLine : lines) {
    EXPECT_NE(std::string::npos, strRequest.find(pszLine)) << pszLine << "\n" << strRequest;
  }
  EXPECT_EQ(std::string("\r\n\r\n") + kBody,
            strRequest.substr(strRequest.size() - 4 - strlen(kBody)));
}

TEST(ServerWinHttp, NotFoundGivesStatusErrorAndEmptyResult) {
  SKIP_WITHOUT_COLLECTOR();
  auto pHttp = MakeClient<IWinHttp>(kHttpType_WinHttp);
  EXPECT_EQ("", pHttp->Request("https://localhost/status/404", 1, "{}", kJsonType));
  EXPECT_EQ(404, pHttp->GetHttpCode());
  EXPECT_EQ(kHttpErr_Status, pHttp->GetErrorCode());
  // Other error statuses are answers like any other.
  EXPECT_EQ("status 500", pHttp->Request(L"https://localhost/status/500", 0, nullptr, nullptr));
  EXPECT_EQ(500, pHttp->GetHttpCode());
}

TEST(ServerWinHttp, UnreachableHostIsConnectErrorAndKeepsLastStatus) {
  SKIP_WITHOUT_COLLECTOR();
  auto pHttp = MakeClient<IWinHttp>(kHttpType_WinHttp);
  EXPECT_EQ("collected", pHttp->Request("https://localhost/mp/collect", 1, "{}", kJsonType));
  EXPECT_EQ("", pHttp->Request("https://localhost:1/mp/collect", 1, "{}", kJsonType));
  EXPECT_EQ(kHttpErr_Connect, pHttp->GetErrorCode());
  EXPECT_EQ(200, pHttp->GetHttpCode());
}

TEST(ServerWinHttp, TimeOutsReachTheRequest) {
  SKIP_WITHOUT_COLLECTOR();
  // The body stalls for two seconds halfway.
  const wchar_t kStall[] = L"https://localhost/stall/2000/2000";
  auto pShort = MakeClient<IWinHttp>(kHttpType_WinHttp);
  pShort->SetTimeOut(1000, 1000, 1000);
  EXPECT_EQ("", pShort->Request(kStall, 0, nullptr, nullptr));

  auto pDefault = MakeClient<IWinHttp>(kHttpType_WinHttp);
  EXPECT_EQ(PatternBytes(2000), pDefault->Request(kStall, 0, nullptr, nullptr));
}

TEST(ServerWinHttp, DownloadsToFileAndMemory) {
  SKIP_WITHOUT_COLLECTOR();
  std::wstring strFile = CollectorLogDir() + L"\\winhttp.bin";
  auto pHttp = MakeClient<IWinHttp>(kHttpType_WinHttp);
  CRecordingCallback callback;
  pHttp->SetCallback(&callback, 77);
  ASSERT_TRUE(pHttp->DownloadFile(L"https://localhost/bytes/20000", strFile.c_str()));
  EXPECT_EQ(PatternBytes(20000), ReadWholeFile(strFile));
  ASSERT_FALSE(callback.m_events.empty());
  EXPECT_EQ(kHttp_Progress, callback.m_events.back());
  EXPECT_EQ(77, callback.m_values.back());
  EXPECT_EQ(20000.0, callback.m_dLastReceived);

  // A body cut short must not leave a pre-sized file that looks complete.
  EXPECT_FALSE(
      pHttp->DownloadFile(Url(kCollectorHttp, L"/body/5000/100").c_str(), strFile.c_str()));
  EXPECT_FALSE(testutil::PathExists(strFile));

  void* pData = nullptr;
  size_t nSize = 0;
  ASSERT_TRUE(pHttp->DownloadToMem(L"https://localhost/bytes/3000", &pData, &nSize));
  EXPECT_EQ(PatternBytes(3000), std::string(static_cast<char*>(pData), nSize));
  free(pData);
  EXPECT_FALSE(
      pHttp->DownloadToMem(Url(kCollectorHttp, L"/badlength/9000000").c_str(), &pData, &nSize));
  EXPECT_EQ(kHttpErr_Length, pHttp->GetErrorCode());
  EXPECT_FALSE(pHttp->DownloadToMem(Url(kCollectorHttp, L"/status/404").c_str(), &pData, &nSize));
  EXPECT_EQ(kHttpErr_Status, pHttp->GetErrorCode());
}

TEST(ServerWininet, MemoryDownloadWithoutLengthStopsAtEightMiB) {
  SKIP_WITHOUT_COLLECTOR();
  auto pHttp = MakeClient<IWininetHttp>(kHttpType_Wininet);
  void* pData = nullptr;
  size_t nSize = 0;
  ASSERT_TRUE(
      pHttp->DownloadToMem(Url(kCollectorHttp, L"/nolength/10485760").c_str(), &pData, &nSize));
  ASSERT_EQ(0x800000u, nSize);
  EXPECT_TRUE(PatternBytes(0x800000) == std::string(static_cast<char*>(pData), nSize));
  free(pData);

  ASSERT_TRUE(pHttp->DownloadToMem(Url(kCollectorHttp, L"/bytes/1234").c_str(), &pData, &nSize));
  EXPECT_EQ(PatternBytes(1234), std::string(static_cast<char*>(pData), nSize));
  free(pData);
}

TEST(ServerWininet, MemoryDownloadRejectsBadLengthsAndShortBodies) {
  SKIP_WITHOUT_COLLECTOR();
  struct {
    const wchar_t* pszPath;
    int nError;
  } cases[] = {
      {L"/badlength/9000000", kHttpErr_Length},
      {L"/body/100/10", kHttpErr_Incomplete},
      {L"/status/404", kHttpErr_Status},
  };
  for (const auto& c : cases) {
    auto pHttp = MakeClient<IWininetHttp>(kHttpType_Wininet);
    void* pData = nullptr;
    size_t nSize = 0;
    EXPECT_FALSE(pHttp->DownloadToMem(Url(kCollectorHttp, c.pszPath).c_str(), &pData, &nSize))
        << c.pszPath;
    EXPECT_EQ(c.nError, pHttp->GetErrorCode()) << c.pszPath;
  }
}

TEST(ServerWininet, FileDownloadCreatesMissingFoldersAndReportsEnd) {
  SKIP_WITHOUT_COLLECTOR();
  std::wstring strFolder = CollectorLogDir() + L"\\wininet";
  std::wstring strFile = strFolder + L"\\a\\b\\c\\file.bin";
  auto pHttp = MakeClient<IWininetHttp>(kHttpType_Wininet);
  CRecordingCallback callback;
  pHttp->SetCallback(&callback, 5);
  ASSERT_TRUE(pHttp->DownloadFile(Url(kCollectorHttp, L"/bytes/10000").c_str(), strFile.c_str()));
  EXPECT_EQ(PatternBytes(10000), ReadWholeFile(strFile));
  ASSERT_GE(callback.m_events.size(), 2u);
  EXPECT_EQ(kHttp_Progress, callback.m_events.front());
  EXPECT_EQ(kHttp_Finished, callback.m_events.back());
  EXPECT_EQ(10000.0, callback.m_dLastTotal);

  // A body shorter than announced fails and reports it; the partial file stays.
  EXPECT_FALSE(pHttp->DownloadFile(Url(kCollectorHttp, L"/body/100/10").c_str(), strFile.c_str()));
  EXPECT_EQ(kHttpErr_Incomplete, pHttp->GetErrorCode());
  EXPECT_EQ(kHttp_Failed, callback.m_events.back());
  // Without Content-Length there is nothing to check the body against.
  EXPECT_FALSE(pHttp->DownloadFile(Url(kCollectorHttp, L"/nolength/10").c_str(), strFile.c_str()));
  EXPECT_EQ(kHttpErr_Query, pHttp->GetErrorCode());
}

TEST(ServerWininet, RequestsInBothWidthsOverTls) {
  SKIP_WITHOUT_COLLECTOR();
  auto pHttp = MakeClient<IWininetHttp>(kHttpType_Wininet);
  EXPECT_EQ("collected", pHttp->Request("https://localhost/mp/collect", 1, "{\"a\":1}", kJsonType));
  EXPECT_EQ(200, pHttp->GetHttpCode());
  std::string strRequest = LastRequest();
  EXPECT_EQ(0u, strRequest.find("POST /mp/collect HTTP/1.1\r\n")) << strRequest;
  EXPECT_NE(std::string::npos,
            strRequest.find("\r\nContent-Type: application/json; charset=utf-8\r\n"));
  EXPECT_NE(std::string::npos, strRequest.find("\r\nAccept-Language: zh-CN,zh;q=0.9\r\n"));
  EXPECT_EQ("{\"a\":1}", strRequest.substr(strRequest.size() - 7));

  EXPECT_EQ(PatternBytes(5000),
            pHttp->Request(L"https://localhost/bytes/5000", 0, nullptr, nullptr));
  EXPECT_EQ(0u, LastRequest().find("GET /bytes/5000 HTTP/1.1\r\n"));
  EXPECT_EQ("", pHttp->Request(L"https://localhost/status/404", 0, nullptr, nullptr));
  EXPECT_EQ(kHttpErr_Status, pHttp->GetErrorCode());
}

TEST(UntrustedServerWinHttp, ReportNeverReachesAnUntrustedCollector) {
  SKIP_WITHOUT_COLLECTOR();
  ForgetLastRequest();
  auto pHttp = MakeClient<IWinHttp>(kHttpType_WinHttp);
  EXPECT_EQ("", pHttp->Request("https://localhost/mp/collect", 1, "{}", kJsonType));
  EXPECT_NE(0, pHttp->GetErrorCode());
  EXPECT_EQ(0, pHttp->GetHttpCode());

  auto pInet = MakeClient<IWininetHttp>(kHttpType_Wininet);
  EXPECT_EQ("", pInet->Request("https://localhost/mp/collect", 1, "{}", kJsonType));
  EXPECT_EQ(kHttpErr_Send, pInet->GetErrorCode());
  EXPECT_FALSE(testutil::PathExists(CollectorLogDir() + L"\\last.req"));
}

}  // namespace
