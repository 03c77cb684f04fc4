// The domain tag: the embedded resource read into the domain, line ends and
// over-long content, and the "domain" file written into the product folder.
#include <gtest/gtest.h>

#include "TestUtil.h"
#include "common/DomainFile.h"

namespace {

TEST(DomainFileTest, EmbeddedDomainLosesItsCrLf) {
  // The test exe carries the setup program's resources: "org_english" CR LF.
  EXPECT_EQ(L"org_english", LoadDomainFile());
}

TEST(DomainFileTest, DomainFromResourceBytes) {
  struct {
    std::string strBytes;
    std::wstring strDomain;
  } cases[] = {
      {"org_english\r\n", L"org_english"},
      {"org_english\n", L"org_english\n"},
      {"org_english\r", L"org_english\r"},
      {"a\r\nb\r\n", L"ab"},
      {"a\n\rb", L"a\n\rb"},
      {std::string("ab\0cd", 5), L"ab"},
      {"", L""},
      {std::string(255, 'x'), std::wstring(255, L'x')},
      // More than the format allows: the rest is cut, never copied past the buffer.
      {std::string(1000, 'y'), std::wstring(255, L'y')},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.strDomain,
              DomainFromBytes(c.strBytes.data(), static_cast<DWORD>(c.strBytes.size())))
        << c.strBytes.size();
  }
  EXPECT_EQ(L"", DomainFromBytes(nullptr, 10));
}

TEST(DomainFileTest, WritesExactlyTheDomainBytes) {
  testutil::CScratchDir dir(L"domain");
  std::wstring strFile = dir / L"domain";
  ASSERT_TRUE(testutil::WriteFileBytes(strFile, "a longer old content"));
  EXPECT_TRUE(WriteDomainFile(L"org_english", dir.Path()));
  std::string strBytes;
  ASSERT_TRUE(testutil::ReadFileBytes(strFile, strBytes));
  EXPECT_EQ(std::string("org_english"), strBytes);
  EXPECT_EQ(11u, strBytes.size());

  EXPECT_TRUE(WriteDomainFile(L"tag\n", dir.Path() + L"\\"));
  ASSERT_TRUE(testutil::ReadFileBytes(strFile, strBytes));
  EXPECT_EQ("tag\n", strBytes);
}

TEST(DomainFileTest, EmptyDomainOrMissingFolderWritesNothing) {
  testutil::CScratchDir dir(L"domain");
  EXPECT_FALSE(WriteDomainFile(L"", dir.Path()));
  EXPECT_FALSE(testutil::PathExists(dir / L"domain"));
  EXPECT_FALSE(WriteDomainFile(L"org_english", dir / L"missing"));
  EXPECT_FALSE(testutil::PathExists(dir / L"missing"));
}

}  // namespace
