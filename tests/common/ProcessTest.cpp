#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestUtil.h"
#include "common/Process.h"
#include "common/ScopedWin.h"
#include "common/TaskbarProgress.h"

using testutil::CScratchDir;

namespace {

// Starts a helper program that stays alive; ends it with the object.
class CChild {
 public:
  explicit CChild(const std::wstring& strExe) {
    std::wstring strCommand = L"\"" + strExe + L"\" 60000";
    std::vector<wchar_t> commandLine(strCommand.begin(), strCommand.end());
    commandLine.push_back(L'\0');
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (CreateProcessW(strExe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       nullptr, &si, &pi)) {
      m_hProcess.Reset(pi.hProcess);
      CloseHandle(pi.hThread);
      m_dwId = pi.dwProcessId;
    }
  }
  ~CChild() {
    if (m_hProcess.IsValid()) TerminateProcess(m_hProcess, 0);
  }
  DWORD Id() const { return m_dwId; }
  // Ends it, waits, and lets go of it, so its id no longer names a process.
  void EndAndForget() {
    TerminateProcess(m_hProcess, 0);
    WaitForSingleObject(m_hProcess, 10000);
    m_hProcess.Reset();
  }
  HANDLE Handle() const { return m_hProcess; }

 private:
  CHandle m_hProcess;
  DWORD m_dwId = 0;
};

}  // namespace

TEST(Process, FindByNameIsCaseSensitiveAndKillEndsIt) {
  CChild child(testutil::HelperExe(L"norlet-download.tmp"));
  ASSERT_NE(child.Id(), 0u);

  DWORD dwId = 0;
  ASSERT_TRUE(FindProcessByName(L"norlet-download.tmp", dwId));
  EXPECT_EQ(dwId, child.Id());

  DWORD dwUntouched = 777;
  EXPECT_FALSE(FindProcessByName(L"Norlet-Download.tmp", dwUntouched));
  EXPECT_FALSE(FindProcessByName(L"norlet-download.tm", dwUntouched));
  EXPECT_EQ(dwUntouched, 777u);

  EXPECT_TRUE(KillProcessById(dwId));
  EXPECT_EQ(WaitForSingleObject(child.Handle(), 10000), WAIT_OBJECT_0);
}

TEST(Process, KillOfGoneProcessIsFalse) {
  CChild child(testutil::HelperExe(L"norlet_sleeper.exe"));
  ASSERT_NE(child.Id(), 0u);
  child.EndAndForget();
  EXPECT_FALSE(KillProcessById(child.Id()));
}

TEST(Process, InstallerCommandLineQuotesPaths) {
  EXPECT_EQ(BuildInstallerCommandLine(L"C:\\Program Files\\Pathwick", L"C:\\w\\p.ini"),
            L" /verysilent /norlet_down /wait_run /path=\"C:\\Program Files\\Pathwick\""
            L" /progress=\"C:\\w\\p.ini\"");
}

TEST(Process, RunSilentInstallerWaitsAndPassesTheCommandLine) {
  CScratchDir dir(L"inst");
  std::wstring strEcho = dir / L"echo.txt";
  SetEnvironmentVariableW(L"NORLET_ECHO_FILE", strEcho.c_str());
  EXPECT_TRUE(RunSilentInstaller(testutil::HelperExe(L"norlet_cmdline_echo.exe"), L"C:\\My Product",
                                 L"C:\\work dir\\progress.ini"));
  SetEnvironmentVariableW(L"NORLET_ECHO_FILE", nullptr);
  // The call returned only after the installer ended, so its output is complete.
  std::string strBytes;
  ASSERT_TRUE(testutil::ReadFileBytes(strEcho, strBytes));
  std::wstring strLine(reinterpret_cast<const wchar_t*>(strBytes.data()), strBytes.size() / 2);
  EXPECT_EQ(strLine, BuildInstallerCommandLine(L"C:\\My Product", L"C:\\work dir\\progress.ini"));
}

TEST(Process, RunSilentInstallerOfMissingFileFailsAtOnce) {
  DWORD dwStart = GetTickCount();
  EXPECT_FALSE(RunSilentInstaller(L"C:\\no\\such\\norlet-download.exe", L"C:\\x", L"C:\\p"));
  EXPECT_LT(GetTickCount() - dwStart, 5000u);
}

TEST(Process, RunProgramWithoutWdcStillStartsTheProduct) {
  // Wine has no wdc.dll: the normal-user start must still launch it.
  CScratchDir dir(L"run");
  std::wstring strEcho = dir / L"started.txt";
  SetEnvironmentVariableW(L"NORLET_ECHO_FILE", strEcho.c_str());
  RunProgram(testutil::HelperExe(L"norlet_cmdline_echo.exe"), false);
  SetEnvironmentVariableW(L"NORLET_ECHO_FILE", nullptr);
  for (int i = 0; i < 100 && !testutil::PathExists(strEcho); ++i) Sleep(100);
  EXPECT_TRUE(testutil::PathExists(strEcho));
}

TEST(Process, TaskbarProgressQuietWithoutTaskbarList) {
  TaskbarProgress progress;
  HWND hWnd = CreateWindowExW(0, L"STATIC", L"t", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, nullptr,
                              nullptr, nullptr, nullptr);
  progress.Attach(hWnd);
  progress.SetState(2);
  progress.SetValue(50, 100);
  progress.SetState(0);
  DestroyWindow(hWnd);
  SUCCEED();
}
