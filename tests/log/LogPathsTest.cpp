#include <gtest/gtest.h>

#include "log/LogPaths.h"

TEST(LogPaths, ModuleBaseNameCutsAtFirstDot) {
  struct Case {
    const char* path;
    const char* base;
  } cases[] = {
      {"C:\\dl\\velmora-pathwick_setup-org.exe", "velmora-pathwick_setup-org"},
      {"C:\\dl\\my.setup.exe", "my"},
      {"C:/dl//a.b.exe", "a"},
      {"noslash", "noslash"},
  };
  for (const auto& c : cases) EXPECT_EQ(logpaths::ModuleBaseNameFromPath(c.path), c.base) << c.path;
}
