#pragma once

#include <string>
#include <vector>

#include "TestUtil.h"

// The setup exe of this build, and the release (i686) exe when the test
// command has built it beside this one.
inline std::vector<std::wstring> SetupExes() {
  std::vector<std::wstring> exes = {testutil::HostPath(NORLET_SETUP_EXE)};
  std::wstring strRelease = testutil::BinaryDir() + L"\\..\\i686\\src\\app\\norlet_setup.exe";
  if (testutil::PathExists(strRelease)) exes.push_back(strRelease);
  return exes;
}
