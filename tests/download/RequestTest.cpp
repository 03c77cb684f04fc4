// Single requests over both stacks against nginx and the fault server.
#include <gtest/gtest.h>

#include <memory>

#include "TestServers.h"
#include "download/tool/BaseRequest.h"

namespace {

using dltest::FaultRequests;
using dltest::UniqueTag;
using dltest::Widen;

std::unique_ptr<CBaseRequest> MakeRequest(int nType, const wchar_t* pszVerb = L"GET",
                                          const wchar_t* pszHeaders = L"") {
  std::unique_ptr<CBaseRequest> request(CBaseRequest::CreateInstance(nType));
  request->m_strVerb = pszVerb;
  request->m_strHeaders = pszHeaders;
  return request;
}

std::string ReadBody(CBaseRequest& request) {
  std::string strBody;
  char buf[4096];
  int n = 0;
  while ((n = request.HttpRead(buf, sizeof(buf))) > 0) strBody.append(buf, n);
  return n < 0 ? "<read failed>" : strBody;
}

class RequestTest : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override { REQUIRE_SERVERS(); }
};

TEST_P(RequestTest, ReadsSizeAndRangeFromNginxOverTls) {
  std::wstring strUrl = L"https://localhost/100.bin?t=" + Widen(UniqueTag("req"));
  std::string strServed = dltest::ServedFile(100);
  auto head = MakeRequest(GetParam(), GetParam() == kRequest_WinHttp ? L"HEAD" : L"GET");
  ASSERT_TRUE(head->Request(strUrl));
  int nSize = 0, nStatus = 0;
  EXPECT_TRUE(head->GetUrlFileSize(nSize));
  EXPECT_EQ(100, nSize);
  EXPECT_EQ(L"localhost", head->m_strServerName);
  std::wstring strContentRange = L"stale";
  EXPECT_FALSE(head->GetContentRange(strContentRange));

  auto range = MakeRequest(GetParam(), L"GET", L"Range:bytes=20-39");
  range->m_nMaxConnsPerServer = 50;
  ASSERT_TRUE(range->Request(strUrl));
  EXPECT_TRUE(range->GetStatusCode(nStatus));
  EXPECT_EQ(206, nStatus);
  EXPECT_TRUE(range->GetContentRange(strContentRange));
  EXPECT_EQ(L"bytes 20-39/100", strContentRange);
  EXPECT_EQ(strServed.substr(20, 20), ReadBody(*range));
  DWORD dwConns = 0;
  EXPECT_TRUE(CBaseRequest::QueryInternetOptDword(73, dwConns));
  EXPECT_EQ(50u, dwConns);
}

TEST_P(RequestTest, NoContentLengthGivesNoSize) {
  std::string strTag = UniqueTag("nolen");
  auto request = MakeRequest(GetParam());
  ASSERT_TRUE(request->Request(L"https://faults.test/nolen/" + Widen(strTag) + L"/100.bin"));
  int nSize = -7;
  EXPECT_FALSE(request->GetUrlFileSize(nSize));
  EXPECT_EQ(-7, nSize);
}

// An https URL whose TLS attempt fails must not be fetched over plain HTTP,
// where anyone on the path could hand over a different installer.
TEST_P(RequestTest, HttpsUrlNeverFallsBackToPlainHttp) {
  std::string strTag = UniqueTag("nodowngrade");
  auto request = MakeRequest(GetParam());
  EXPECT_FALSE(request->Request(L"https://untrusted.test/ok/" + Widen(strTag) + L"/10.bin"));
  EXPECT_TRUE(FaultRequests(strTag).empty());
}

TEST_P(RequestTest, HttpsUrlDoesNotFollowRedirectToPlainHttp) {
  std::string strTag = UniqueTag("redirect");
  auto request = MakeRequest(GetParam());
  bool bSent = request->Request(L"https://faults.test/redirect/" + Widen(strTag) + L"/10.bin");
  int nStatus = 0;
  if (bSent && request->GetStatusCode(nStatus)) {
    EXPECT_NE(200, nStatus);
  }
  for (const dltest::FaultRequest& seen : FaultRequests(strTag)) EXPECT_EQ(443, seen.nPort);
}

INSTANTIATE_TEST_SUITE_P(BothStacks, RequestTest,
                         ::testing::Values(kRequest_WinHttp, kRequest_Internet),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return std::string(info.param == kRequest_WinHttp ? "WinHttp"
                                                                             : "Internet");
                         });

// TLS first, then plain: WinHTTP reaches a plain-only server for an http URL
// with the header text unchanged; WinINet always goes to 443 over TLS.
TEST(RequestPorts, HttpUrlTriesTlsThenPlainOverWinHttpOnly) {
  REQUIRE_SERVERS();
  std::string strTag = UniqueTag("ports");
  std::wstring strUrl = L"http://untrusted.test/ok/" + Widen(strTag) + L"/10.bin";
  auto winhttp = MakeRequest(kRequest_WinHttp, L"GET", L"Range:bytes=0-4");
  ASSERT_TRUE(winhttp->Request(strUrl));
  EXPECT_EQ(5u, ReadBody(*winhttp).size());
  auto requests = FaultRequests(strTag);
  ASSERT_EQ(1u, requests.size());
  EXPECT_EQ(80, requests[0].nPort);
  EXPECT_EQ("GET", requests[0].strMethod);
  EXPECT_EQ("bytes=0-4", requests[0].strRange);

  std::string strTlsTag = UniqueTag("ports443");
  auto wininet = MakeRequest(kRequest_Internet);
  ASSERT_TRUE(wininet->Request(L"http://faults.test/ok/" + Widen(strTlsTag) + L"/10.bin"));
  requests = FaultRequests(strTlsTag);
  ASSERT_EQ(1u, requests.size());
  EXPECT_EQ(443, requests[0].nPort);
  EXPECT_FALSE(MakeRequest(kRequest_Internet)->Request(L"http://plain.test/ok/x/10.bin"));
}

}  // namespace
