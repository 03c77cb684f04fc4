// Which Content-Range values let a 206 body be written at the offset asked for.
#include <gtest/gtest.h>

#include "download/ContentRange.h"

namespace {

struct ParseCase {
  const wchar_t* pszValue;
  bool bResult;
  int nFirst;
  int nLast;
  int nTotal;
};

TEST(ContentRange, ParsesOnlyWholeByteRanges) {
  const ParseCase cases[] = {
      {L"bytes 0-19/100", true, 0, 19, 100},
      {L"bytes 80-99/100", true, 80, 99, 100},
      {L"bytes 5-5/*", true, 5, 5, -1},
      {L"  BYTES   0-0/1 ", true, 0, 0, 1},
      {L"bytes 0-2147483646/2147483647", true, 0, 2147483646, 2147483647},
      {L"bytes 0-2147483647/*", true, 0, 2147483647, -1},
      {L"", false, 0, 0, 0},
      {L"bytes", false, 0, 0, 0},
      {L"bytes */100", false, 0, 0, 0},  // the form of a 416, never of a body
      {L"bytes 0-19", false, 0, 0, 0},
      {L"bytes 0-19/", false, 0, 0, 0},
      {L"bytes=0-19/100", false, 0, 0, 0},
      {L"bytes0-19/100", false, 0, 0, 0},
      {L"items 0-19/100", false, 0, 0, 0},
      {L"bytes -1-19/100", false, 0, 0, 0},
      {L"bytes 0-19/100, bytes 20-39/100", false, 0, 0, 0},
      {L"bytes 0-19/100x", false, 0, 0, 0},
      {L"bytes 0x0-19/100", false, 0, 0, 0},
      {L"bytes 20-19/100", false, 0, 0, 0},  // first after last
      {L"bytes 0-100/100", false, 0, 0, 0},  // last past the total
      {L"bytes 0-2147483648/*", false, 0, 0, 0},
      {L"bytes 0-1/99999999999999999999", false, 0, 0, 0},
  };
  for (const ParseCase& c : cases) {
    int nFirst = -7, nLast = -7, nTotal = -7;
    EXPECT_EQ(c.bResult, ParseContentRange(c.pszValue, nFirst, nLast, nTotal)) << c.pszValue;
    if (!c.bResult) {
      EXPECT_EQ(-7, nFirst) << c.pszValue;  // a refused value leaves the outputs alone
      continue;
    }
    EXPECT_EQ(c.nFirst, nFirst) << c.pszValue;
    EXPECT_EQ(c.nLast, nLast) << c.pszValue;
    EXPECT_EQ(c.nTotal, nTotal) << c.pszValue;
  }
}

struct MatchCase {
  const wchar_t* pszValue;
  bool bMatch;
};

// Asked: bytes 200-399 of a 1000-byte file.
TEST(ContentRange, MatchesOnlyTheRangeAskedForOfTheSizedFile) {
  const MatchCase cases[] = {
      {L"bytes 200-399/1000", true},  {L"bytes 200-399/*", true},
      {L"bytes 201-400/1000", false},  // same length, one byte further on
      {L"bytes 199-398/1000", false}, {L"bytes 200-398/1000", false},
      {L"bytes 200-400/1000", false}, {L"bytes 0-999/1000", false},
      {L"bytes 200-399/1001", false},  // another file than the one sized
      {L"bytes 200-399/400", false},  {L"", false},
  };
  for (const MatchCase& c : cases)
    EXPECT_EQ(c.bMatch, IsContentRangeOf(c.pszValue, 200, 399, 1000)) << c.pszValue;
}

}  // namespace
