// The record format and the write rules, in this process: one InitLog into a
// scratch folder for the whole exe.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "TestUtil.h"
#include "log/Log.h"

namespace {

class LogFile : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    s_pDir = new testutil::CScratchDir(L"logtest");
    InitLog(L"norlet_down.log", s_pDir->Path().c_str());
  }
  static void TearDownTestSuite() {
    delete s_pDir;
    s_pDir = nullptr;
  }
  static std::string Contents() {
    std::string str;
    testutil::ReadFileBytes(*s_pDir / L"norlet_down.log", str);
    return str;
  }
  // Runs fn and returns the bytes it appended.
  template <typename Fn>
  static std::string Appended(Fn fn) {
    size_t nBefore = Contents().size();
    fn();
    return Contents().substr(nBefore);
  }
  static testutil::CScratchDir* s_pDir;
};

testutil::CScratchDir* LogFile::s_pDir = nullptr;

// One record: ISO date with milliseconds, blank, message, CR LF, and the
// blank that the pattern puts before the next record's date.
std::string MessageOf(const std::string& strAppended) {
  static const std::regex kDate(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d,\d{3} $)");
  const size_t kDateLen = 24;
  if (strAppended.size() < kDateLen + 3 ||
      !std::regex_match(strAppended.substr(0, kDateLen), kDate) ||
      strAppended.compare(strAppended.size() - 3, 3, "\r\n ") != 0)
    return "<bad record: " + strAppended.substr(0, 80) + ">";
  return strAppended.substr(kDateLen, strAppended.size() - kDateLen - 3);
}

}  // namespace

TEST_F(LogFile, RecordBytesFollowThePattern) {
  LOGA(LOG_INFO, "first");
  std::string strAll = Contents();
  ASSERT_TRUE(std::regex_search(strAll, std::regex(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d,\d{3} )")));
  EXPECT_EQ(MessageOf(Appended([] { LOGA(LOG_INFO, "count=%d name=%s", 42, "abc"); })),
            "count=42 name=abc");
  EXPECT_EQ(MessageOf(Appended([] { LOGW(LOG_INFO, L"wide %s %d", L"text", 7); })), "wide text 7");
}

TEST_F(LogFile, LevelsOutsideZeroToThreeWriteNothing) {
  for (int nLevel : {LOG_DEBUG, LOG_INFO, LOG_WARN, LOG_ERROR})
    EXPECT_EQ(MessageOf(Appended([&] { LOGA(nLevel, "level %d", nLevel); })),
              "level " + std::to_string(nLevel));
  for (int nLevel : {-1, 4, 100}) {
    EXPECT_EQ(Appended([&] { LOGA(nLevel, "level %d", nLevel); }), "");
    EXPECT_EQ(Appended([&] { LOGW(nLevel, L"level %d", nLevel); }), "");
  }
}

TEST_F(LogFile, EmptyFormatOrMessageWritesNothing) {
  std::string strEmpty;
  EXPECT_EQ(Appended([&] { LOGA(LOG_INFO, strEmpty.c_str()); }), "");
  EXPECT_EQ(Appended([] { LOGA(LOG_INFO, "%s", ""); }), "");
  EXPECT_EQ(Appended([] { WriteLogA("f", "s.cpp", 1, LOG_INFO, nullptr); }), "");
  EXPECT_EQ(Appended([] { WriteLogW(L"f", L"s.cpp", 1, LOG_INFO, nullptr); }), "");
}

TEST_F(LogFile, LongMessagesAreNotCut) {
  std::string strLong(100000, 'q');
  EXPECT_EQ(MessageOf(Appended([&] { LOGA(LOG_INFO, "%s", strLong.c_str()); })), strLong);
}

TEST_F(LogFile, FormattingFaultWritesTheFixedRecord) {
  // A wide argument that has no narrow form in the C locale makes the
  // formatter fail.
  std::string strA = MessageOf(Appended([] {
    WriteLogA("void CSetupFrameWnd::OnClickInstall()", "src\\Window\\SetupFrameWnd.cpp", 321,
              LOG_INFO, "%ls", L"\x4e2d\x6587");
  }));
  EXPECT_EQ(strA,
            "[SetupFrameWnd.cpp:321][CSetupFrameWnd::OnClickInstall] "
            "***Fatal Error Check,Please Fix it!***");
}

TEST_F(LogFile, WideTextBecomesOemWithDefaultCharacter) {
  CPINFO info = {};
  ASSERT_TRUE(GetCPInfo(CP_OEMCP, &info));
  std::string strExpected = "ab";
  strExpected.push_back(static_cast<char>(info.DefaultChar[0]));
  strExpected += "cd";
  EXPECT_EQ(MessageOf(Appended([] {
              LOGW(LOG_INFO,
                   L"ab\x4e2d"
                   L"cd");
            })),
            strExpected);
  if (GetOEMCP() == 437) {
    EXPECT_EQ(MessageOf(Appended([] { LOGW(LOG_INFO, L"caf\x00e9"); })), "caf\x82");
  }
}

TEST_F(LogFile, NarrowBytesPassUnchanged) {
  EXPECT_EQ(MessageOf(Appended([] { LOGA(LOG_INFO, "\xc3\xa9\xe4\xb8\xad"); })),
            "\xc3\xa9\xe4\xb8\xad");
}
