// Scenarios that depend on the facility's once-per-process set-up run in a
// helper process each.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "TestUtil.h"

using testutil::CScratchDir;

namespace {

const std::regex kFirstRecord(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d,\d{3} )");

int RunDriver(const std::wstring& strExe, const std::wstring& strArgs) {
  return testutil::RunAndWait(strExe, strArgs, 120000);
}

}  // namespace

TEST(LogProcess, SecondInitLogChangesNothing) {
  CScratchDir dir(L"log2");
  ASSERT_EQ(
      RunDriver(testutil::HelperExe(L"norlet_log_driver.exe"), L"twoinit \"" + dir.Path() + L"\""),
      0);
  std::string strLog;
  ASSERT_TRUE(testutil::ReadFileBytes(dir / L"first.log", strLog));
  EXPECT_NE(strLog.find("after two InitLog calls\r\n "), std::string::npos) << strLog;
  EXPECT_FALSE(testutil::PathExists(dir / L"second.log"));
}

TEST(LogProcess, RecordBeforeInitLogFixesDefaultLocation) {
  // A copy of the driver named my.setup.exe: its module base name is "my".
  CScratchDir dir(L"logearly");
  std::wstring strExe = dir / L"my.setup.exe";
  ASSERT_TRUE(
      CopyFileW(testutil::HelperExe(L"norlet_log_driver.exe").c_str(), strExe.c_str(), FALSE));
  std::wstring strLater = dir / L"later";
  ASSERT_EQ(RunDriver(strExe, L"early \"" + strLater + L"\""), 0);
  std::string strLog;
  ASSERT_TRUE(testutil::ReadFileBytes(dir / L"Log\\my.log", strLog));
  EXPECT_NE(strLog.find("before InitLog\r\n "), std::string::npos);
  EXPECT_NE(strLog.find("after InitLog\r\n "), std::string::npos);
  EXPECT_FALSE(testutil::PathExists(strLater + L"\\late.log"));
}

TEST(LogProcess, RollsToOneBackupAtTenMebibytes) {
  CScratchDir dir(L"logroll");
  std::wstring strFolder = dir / L"deep\\er\\Log";  // every missing level is created
  // 1025-byte records (date 23, blank, 999 message bytes, CR LF) plus the
  // blank of the next: 25000 of them pass 10 MiB twice.
  ASSERT_EQ(RunDriver(testutil::HelperExe(L"norlet_log_driver.exe"),
                      L"roll \"" + strFolder + L"\" 25000"),
            0);
  std::string strCurrent, strBackup;
  ASSERT_TRUE(testutil::ReadFileBytes(strFolder + L"\\norlet_down.log", strCurrent));
  ASSERT_TRUE(testutil::ReadFileBytes(strFolder + L"\\norlet_down.log.1", strBackup));
  EXPECT_FALSE(testutil::PathExists(strFolder + L"\\norlet_down.log.2"));

  const size_t kLimit = 10u * 1024 * 1024;
  EXPECT_GE(strBackup.size(), kLimit);
  EXPECT_LT(strBackup.size(), kLimit + 1100);
  EXPECT_LT(strCurrent.size(), kLimit);

  // Each file holds whole records: the date, the message, CR LF and the
  // blank that the pattern puts before the next record's date.
  for (const std::string* pFile : {&strBackup, &strCurrent}) {
    ASSERT_TRUE(std::regex_search(pFile->substr(0, 40), kFirstRecord));
    size_t nRecords = 0;
    for (size_t nPos = 0; nPos < pFile->size();) {
      size_t nEnd = pFile->find("\r\n ", nPos);
      ASSERT_NE(nEnd, std::string::npos);
      std::string strRecord = pFile->substr(nPos, nEnd - nPos);
      ASSERT_EQ(strRecord.size(), 23u + 1 + 999) << strRecord.substr(0, 60);
      ASSERT_TRUE(std::regex_search(strRecord.substr(0, 24), kFirstRecord));
      nPos = nEnd + 3;
      ++nRecords;
    }
  }
  // The current file continues where the last backup stopped: the last
  // record of all is number 24999.
  EXPECT_NE(strCurrent.find("00024999 "), std::string::npos);
}
