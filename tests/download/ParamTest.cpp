// URL splitting, save-path handling and parameter checks: no server needed
// for the results, though with servers running the tests also check that a
// rejected download never reached one.
#include <gtest/gtest.h>

#include <thread>

#include "TestServers.h"
#include "TestUtil.h"
#include "common/FolderTree.h"
#include "download/HttpDownload.h"
#include "download/SaveFolder.h"
#include "download/stdafx.h"
#include "download/tool/BaseRequest.h"

namespace {

struct UrlCase {
  const wchar_t* pszUrl;
  bool bResult;
  const wchar_t* pszHost;
  const wchar_t* pszObject;
  bool bSecureOnly;
};

TEST(ParseUrl, SplitsHostAndObjectName) {
  const UrlCase cases[] = {
      {L"https://dl.example.com/dir/setup.exe", true, L"dl.example.com", L"dir/setup.exe", true},
      {L"http://dl.example.com/setup.exe?v=2&x=y", true, L"dl.example.com", L"setup.exe?v=2&x=y",
       false},
      {L"http://host:8080/a/b", true, L"host:8080", L"a/b", false},
      {L"HTTPS://Host/a", true, L"Host", L"a", true},
      {L"https://host/", true, L"host", L"", true},
      // The scheme has to begin the URL: a plain URL in the query changes nothing.
      {L"https://host/get?from=http://other/x", true, L"host", L"get?from=http://other/x", true},
      {L"https://host.example.com", false, L"", L"", true},
      {L"ftp://host/file", true, L"", L"", false},
      {L"host/file", true, L"", L"", false},
  };
  for (const UrlCase& c : cases) {
    std::wstring strHost = L"stale", strObject = L"stale";
    bool bSecureOnly = !c.bSecureOnly;
    bool bResult = CBaseRequest::ParseUrl(c.pszUrl, strHost, strObject, bSecureOnly);
    EXPECT_EQ(c.bResult, bResult) << c.pszUrl;
    if (!c.bResult) continue;
    EXPECT_EQ(c.pszHost, strHost) << c.pszUrl;
    EXPECT_EQ(c.pszObject, strObject) << c.pszUrl;
    EXPECT_EQ(c.bSecureOnly, bSecureOnly) << c.pszUrl;
  }
}

TEST(ParseUrl, RequestWithoutSlashAfterHostFailsAtOnce) {
  std::unique_ptr<CBaseRequest> request(CBaseRequest::CreateInstance(kRequest_WinHttp));
  ASSERT_TRUE(request);
  EXPECT_FALSE(request->Request(L"https://dl.example.com"));
}

TEST(SavePath, NormalizesSlashesAndDoubledBackslashes) {
  const std::pair<const wchar_t*, const wchar_t*> cases[] = {
      {L"C:/a/b/file.exe", L"C:\\a\\b\\file.exe"},
      {L"C:\\\\a\\\\b\\file.exe", L"C:\\a\\b\\file.exe"},
      {L"C:\\a//b\\/file", L"C:\\a\\b\\file"},
      {L"C:\\a\\\\\\b", L"C:\\a\\\\b"},  // one pass: three become two
      {L"file.exe", L"file.exe"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.second, NormalizeSavePath(c.first)) << c.first;
  EXPECT_EQ(L"C:\\a\\b", SaveFolderOf(L"C:\\a\\b\\file.exe"));
  EXPECT_EQ(L"", SaveFolderOf(L"file.exe"));
}

TEST(SavePath, CreatesMissingFolderTree) {
  testutil::CScratchDir dir(L"dlfolder");
  std::wstring strDeep = dir / L"one\\two\\three";
  CreateFolderTree(strDeep + L"\\");
  EXPECT_TRUE(testutil::PathExists(strDeep));
}

// Rejected parameters: -1, begin and end events only, and no request made.
TEST(CheckParam, RejectsBadParametersWithoutRequest) {
  testutil::CScratchDir dir(L"dlparam");
  ASSERT_TRUE(testutil::WriteFileBytes(dir / L"blocker", "x"));
  std::string strTag = dltest::UniqueTag("param");
  std::wstring strUrl = L"https://faults.test/ok/" + dltest::Widen(strTag) + L"/100.bin";
  struct Case {
    int nThreads;
    std::wstring strUrl;
    std::wstring strSave;
  } cases[] = {
      {0, strUrl, dir / L"f.bin"},
      {-3, strUrl, dir / L"f.bin"},
      {5, L"", dir / L"f.bin"},
      {5, strUrl, L"f.bin"},                      // no folder at all
      {5, strUrl, dir / L"blocker\\sub\\f.bin"},  // a file stands where a folder must go
  };
  for (const Case& c : cases) {
    dltest::DownloadRun run = dltest::RunDownload(c.strUrl, c.nThreads, c.strSave);
    EXPECT_EQ(kDownloadResult_BadParam, run.nResult) << c.nThreads << " " << c.strSave.c_str();
    ASSERT_EQ(2u, run.events.size());
    EXPECT_EQ(kDownload_Begin, run.events[0].nEvent);
    EXPECT_EQ(kDownload_End, run.events[1].nEvent);
    EXPECT_EQ(kDownloadResult_BadParam, run.events[1].nValue1);
    EXPECT_EQ(GetCurrentThreadId(), run.events[1].dwThreadId);
  }
  for (const char* pszLine :
       {"ERR:invalid param (nDownloadThread = 0)\r\n", "ERR:invalid param (nDownloadThread = -3)",
        "ERR:invalid param (strDownloadUrl)\r\n", "ERR:make dir () fail!\r\n",
        "ERR:CheckParam fail!\r\n", "HttpDownload,ret = -1 (time = 0 \xC3\xEB)\r\n"})
    EXPECT_TRUE(dltest::OwnLogHas(pszLine)) << pszLine;
  if (dltest::HaveServers()) {
    EXPECT_TRUE(dltest::FaultRequests(strTag).empty());
  }
}

TEST(CheckParam, CreatesTheSaveFolder) {
  testutil::CScratchDir dir(L"dlmkdir");
  HttpDownloadParam param;
  param.strDownloadUrl = L"http://127.0.0.1:1/none";  // never reached: size fails first
  param.strSavePath = dir.Path() + L"/new//deeper/f.bin";
  CHttpDownload download(param, nullptr, 1);
  download.Download();
  EXPECT_EQ(dir / L"new\\deeper\\f.bin", param.strSavePath);
  EXPECT_TRUE(testutil::PathExists(dir / L"new\\deeper"));
}

// The assertion dialog blocks its thread; a watcher reads and dismisses it.
TEST(CreateInstance, UnknownTypeShowsAssertionAndGivesNull) {
  std::wstring strText;
  std::thread watcher([&strText] {
    for (int i = 0; i < 200; ++i) {
      HWND hDialog = FindWindowW(nullptr, L"AssertError!");
      if (hDialog) {
        wchar_t szText[512] = {};
        GetDlgItemTextW(hDialog, 0xFFFF, szText, 512);
        strText = szText;
        PostMessageW(hDialog, WM_COMMAND, IDNO, 0);
        return;
      }
      Sleep(50);
    }
  });
  CBaseRequest* pRequest = CBaseRequest::CreateInstance(2);
  watcher.join();
  EXPECT_EQ(nullptr, pRequest);
  EXPECT_NE(std::wstring::npos, strText.find(L"Assert(false);")) << strText;
  EXPECT_NE(std::wstring::npos, strText.find(L"(in function CBaseRequest::CreateInstance,at line"))
      << strText;
  EXPECT_NE(std::wstring::npos, strText.find(L"ERR:un support type 2")) << strText;
}

TEST(ShowApiError, LogsCallWithSystemText) {
  ShowApiError("WinHttpConnect", 12029, GetInternetMessageModule(), "CUnit::Context");
  ShowApiError("InternetReadFile", 12030, GetInternetMessageModule(), nullptr);
  std::string strThread = "[Thread][" + std::to_string(GetCurrentThreadId()) + "] ";
  EXPECT_TRUE(dltest::OwnLogHas(strThread +
                                "[CUnit::Context]call WinHttpConnect fail 12029, The attempt to "
                                "connect to the server failed."));
  EXPECT_TRUE(dltest::OwnLogHas(strThread + "call InternetReadFile fail 12030, "));
}

}  // namespace
