#include <gtest/gtest.h>

#include "httpclient/HttpHeader.h"
#include "httpclient/HttpInterface.h"
#include "httpclient/HttpUrl.h"

namespace {

const char kDefaultFields[] =
    "Accept: */*\r\n"
    "Accept-Language: zh-CN,zh;q=0.9\r\n"
    "Connection: Keep-Alive\r\n"
    "User-Agent: Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like "
    "Gecko) Chrome/80.0.4044.92 Safari/537.36\r\n";

TEST(HttpHeader, RequestTextHasDefaultsInNameOrderAndTwoLineEnds) {
  CHttpHeader header;
  header.m_strUrl = "/a/b";
  EXPECT_EQ(std::string("GET /a/b HTTP/1.1\r\n") + kDefaultFields + "\r\n\r\n",
            header.GetRequestText());
  EXPECT_EQ("HTTP/1.1", header.m_strVersion);
  EXPECT_EQ(4u, header.m_mapHeaders.size());
}

TEST(HttpHeader, CallerFieldsWinOverDefaultsAndSortByteWise) {
  CHttpHeader header;
  header.SetHeader("Connection", "close");
  header.SetHeader("Connection", "upgrade");
  header.SetHeader("Host", "example.com");
  header.SetHeader("", "x");
  header.SetHeader("X-Empty", "");
  header.SetHeader("accept", "lower");
  EXPECT_EQ(
      "Accept: */*\r\n"
      "Accept-Language: zh-CN,zh;q=0.9\r\n"
      "Connection: close\r\n"
      "Host: example.com\r\n"
      "User-Agent: Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like "
      "Gecko) Chrome/80.0.4044.92 Safari/537.36\r\n"
      "accept: lower\r\n",
      header.GetHeaderText());
  EXPECT_EQ("close", header.GetHeader("Connection"));
  EXPECT_EQ("", header.GetHeader("Missing"));
}

TEST(HttpHeader, ParsesStatusLineAndKeepsFirstOfRepeatedFields) {
  CHttpHeader header;
  header.ParseResponseHead(
      "HTTP/1.1 302 Found Elsewhere\r\nLocation: /first\r\nSet-Cookie: a=1\r\n"
      "Location: /second\r\nBroken line\r\nX-Colon: a: b");
  EXPECT_EQ(302, header.m_nHttpCode);
  EXPECT_EQ("HTTP/1.1", header.m_strVersion);
  EXPECT_EQ("Found Elsewhere", header.m_strReason);
  EXPECT_EQ("/first", header.GetHeader("Location"));
  EXPECT_EQ("a=1", header.GetHeader("Set-Cookie"));
  EXPECT_EQ("a: b", header.GetHeader("X-Colon"));
  EXPECT_EQ(3u, header.m_mapHeaders.size());
}

TEST(HttpHeader, ParsesHostileStatusLinesWithoutCrashing) {
  const char* cases[] = {"", "HTTP/1.1", "HTTP/1.1 ", "garbage", "\r\n\r\n", ": \r\n: x"};
  for (const char* pszHead : cases) {
    CHttpHeader header;
    header.ParseResponseHead(pszHead);
    EXPECT_EQ(0, header.m_nHttpCode) << pszHead;
  }
  CHttpHeader header;
  header.ParseResponseHead("HTTP/1.0 200");
  EXPECT_EQ(200, header.m_nHttpCode);
  EXPECT_EQ("", header.m_strReason);
}

struct SplitCase {
  const char* pszUrl;
  const char* pszHost;
  const char* pszPath;
  uint16_t nPort;
};

TEST(SplitUrl, BothWidthsAgreeOnEveryForm) {
  const SplitCase cases[] = {
      {"https://collect.example.com", "collect.example.com", "/", 443},
      {"http://host:8080/x/y?q=1&r=2", "host", "/x/y?q=1&r=2", 8080},
      {"https://host:8443/mp/collect?id=G-1", "host", "/mp/collect?id=G-1", 8443},
      {"http://host:443/", "host", "/", 443},
      {"example.com/dir/file.exe", "example.com", "/dir/file.exe", 80},
      {"plainhost", "plainhost", "/", 80},
      {"http://", "", "/", 80},
      {"http://host:99999/", "host", "/", 99999 & 0xFFFF},
  };
  for (const SplitCase& c : cases) {
    std::string strHost, strPath;
    uint16_t nPort = 0;
    SplitUrl(std::string(c.pszUrl), strHost, strPath, nPort);
    EXPECT_EQ(c.pszHost, strHost) << c.pszUrl;
    EXPECT_EQ(c.pszPath, strPath) << c.pszUrl;
    EXPECT_EQ(c.nPort, nPort) << c.pszUrl;

    std::wstring strHostW, strPathW;
    uint16_t nPortW = 0;
    SplitUrl(AnsiToWide(c.pszUrl), strHostW, strPathW, nPortW);
    EXPECT_EQ(AnsiToWide(c.pszHost), strHostW) << c.pszUrl;
    EXPECT_EQ(AnsiToWide(c.pszPath), strPathW) << c.pszUrl;
    EXPECT_EQ(c.nPort, nPortW) << c.pszUrl;
  }
}

TEST(AnsiConversion, RoundTripsAndEmptyStaysEmpty) {
  EXPECT_EQ(L"Hello, /path?x=1", AnsiToWide("Hello, /path?x=1"));
  EXPECT_EQ("Hello", WideToAnsi(L"Hello"));
  EXPECT_EQ(L"", AnsiToWide(""));
  EXPECT_EQ("", WideToAnsi(L""));
}

TEST(CreateHttpInstance, MakesEachClientAndRefusesUnknownTypes) {
  for (int nType : {kHttpType_Socket, kHttpType_Wininet, kHttpType_WinHttp}) {
    IHttpBase* pHttp = nullptr;
    ASSERT_TRUE(CreateHttpInstance(&pHttp, nType));
    ASSERT_NE(nullptr, pHttp);
    EXPECT_EQ(0, pHttp->GetErrorCode());
    EXPECT_EQ(0, pHttp->GetHttpCode());
    pHttp->FreeInstance();
  }
  IHttpBase* pHttp = reinterpret_cast<IHttpBase*>(1);
  EXPECT_FALSE(CreateHttpInstance(&pHttp, 3));
  EXPECT_EQ(nullptr, pHttp);
}

TEST(HttpClients, EmptyUrlsRecordTheirErrors) {
  IHttpBase* pHttp = nullptr;
  ASSERT_TRUE(CreateHttpInstance(&pHttp, kHttpType_Wininet));
  IWininetHttp* pInet = static_cast<IWininetHttp*>(pHttp);
  EXPECT_EQ("", pInet->Request(L"", 0, nullptr, nullptr));
  EXPECT_EQ(kHttpErr_NoRequestUrl, pInet->GetErrorCode());
  EXPECT_FALSE(pInet->DownloadFile(nullptr, L"x"));
  EXPECT_EQ(kHttpErr_NoDownloadUrl, pInet->GetErrorCode());
  pInet->FreeInstance();

  ASSERT_TRUE(CreateHttpInstance(&pHttp, kHttpType_Socket));
  void* pData = nullptr;
  size_t nSize = 0;
  EXPECT_FALSE(pHttp->DownloadToMem(L"", &pData, &nSize));
  EXPECT_EQ(kHttpErr_NoDownloadUrl, pHttp->GetErrorCode());
  // TLS targets are refused before anything happens and leave no error behind.
  EXPECT_FALSE(pHttp->DownloadToMem(L"https://localhost/x", &pData, &nSize));
  EXPECT_FALSE(pHttp->DownloadFile(L"http://localhost:443/x", L"unused.bin"));
  EXPECT_EQ(kHttpErr_NoDownloadUrl, pHttp->GetErrorCode());
  pHttp->FreeInstance();
}

}  // namespace
