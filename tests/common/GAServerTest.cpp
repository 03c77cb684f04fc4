#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "common/GA.h"
#include "common/GAJson.h"
#include "httpclient/CollectorFixture.h"

namespace {

const wchar_t kTestCollectUrl[] =
    L"https://localhost/mp/collect?measurement_id=G-TEST000001&api_secret=test-secret";
const wchar_t kCategory[] = L"Norlet Down (Windows version)";

std::string Utf8(const std::wstring& strText) {
  int nBytes = WideCharToMultiByte(CP_UTF8, 0, strText.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string strUtf8(nBytes > 0 ? nBytes - 1 : 0, '\0');
  if (nBytes > 1) {
    WideCharToMultiByte(CP_UTF8, 0, strText.c_str(), -1, &strUtf8[0], nBytes, nullptr, nullptr);
  }
  return strUtf8;
}

std::string ExpectedBody(const char* pszEvent) {
  std::string strId = Utf8(CGA::GetClientId());
  GAPayload payload;
  payload.strClientId = strId;
  payload.strUidValue = strId;
  payload.events.push_back({pszEvent, Utf8(kCategory), strId});
  return BuildGAJsonText(payload);
}

CGA* PreparedInstance() {
  CGA* pGA = CGA::Instance();
  pGA->SetCollectUrl(kTestCollectUrl);
  pGA->SetEventCategory(kCategory);
  return pGA;
}

std::string BodyOf(const std::string& strRequest) {
  size_t nEnd = strRequest.find("\r\n\r\n");
  return nEnd == std::string::npos ? std::string() : strRequest.substr(nEnd + 4);
}

TEST(ServerGA, StartInstallPostsTheReportWithJsonContentType) {
  SKIP_WITHOUT_COLLECTOR();
  CGA* pGA = PreparedInstance();
  ForgetLastRequest();
  EXPECT_TRUE(pGA->SendStartInstall());
  std::string strRequest = LastRequest();
  EXPECT_EQ(0u, strRequest.find("POST /mp/collect?measurement_id=G-TEST000001&api_secret="
                                "test-secret HTTP/1.1\r\n"))
      << strRequest;
  EXPECT_NE(std::string::npos,
            strRequest.find("\r\nContent-Type: application/json; charset=utf-8\r\n"));
  EXPECT_NE(std::string::npos, strRequest.find("\r\nUser-Agent: Mozilla/5.0 (Windows NT 10.0;"));
  EXPECT_EQ(ExpectedBody("Downloader_Start_Install"), BodyOf(strRequest));
}

TEST(ServerGA, SendThreadPicksTheEventByKind) {
  SKIP_WITHOUT_COLLECTOR();
  CGA* pGA = PreparedInstance();
  struct {
    int nKind;
    const char* pszEvent;
  } cases[] = {
      {kGASend_DownloaderInstalled, "Downloader_Installed"},
      {kGASend_InstalledSucceed, "Installed_Succeed"},
      {kGASend_StartInstall, "Downloader_Start_Install"},
      {7, "Downloader_Start_Install"},
  };
  for (const auto& c : cases) {
    ForgetLastRequest();
    GASendParam* pParam = new GASendParam;
    pParam->pInstance = pGA;
    pParam->nKind = c.nKind;
    HANDLE hThread = CreateThread(nullptr, 0, GASendThread, pParam, 0, nullptr);
    ASSERT_NE(nullptr, hThread);
    WaitForSingleObject(hThread, INFINITE);
    CloseHandle(hThread);
    EXPECT_EQ(ExpectedBody(c.pszEvent), BodyOf(LastRequest())) << c.nKind;
  }
}

TEST(ServerGA, UnreachableCollectorStillCountsAsSent) {
  SKIP_WITHOUT_COLLECTOR();
  CGA* pGA = PreparedInstance();
  pGA->SetCollectUrl(L"https://localhost:1/mp/collect");
  EXPECT_TRUE(pGA->SendInstalledSucceed());
  pGA->SetCollectUrl(kTestCollectUrl);
}

TEST(UntrustedServerGA, ReportNeverReachesAnUntrustedCollector) {
  SKIP_WITHOUT_COLLECTOR();
  CGA* pGA = PreparedInstance();
  ForgetLastRequest();
  EXPECT_TRUE(pGA->SendDownloaderInstalled());
  EXPECT_FALSE(testutil::PathExists(CollectorLogDir() + L"\\last.req"));
}

}  // namespace
