// Damaged archives: whatever the bytes, the reader stays inside its buffers
// (guard pages catch any stray access), every call returns, and damage is
// reported with a failure code instead of passing bad data on.
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "TestUtil.h"
#include "ZipBuilder.h"
#include "ZipTestUtil.h"

using namespace SkinUI;
using testutil::PutLe16;
using testutil::PutLe32;
using testutil::TZipLayout;

namespace {

std::string CompressibleText() {
  std::string strText;
  for (int i = 0; i < 800; ++i) strText += "banner text line " + std::to_string(i) + "\r\n";
  return strText;
}

// Entry 0 a folder, 1 stored, 2 deflated.
std::string SampleArchive(TZipLayout* pLayout, const std::string& strComment = "") {
  return testutil::BuildZip(
      {testutil::ZipFolder("pack/"), testutil::ZipFile("pack/stored.txt", "stored file content"),
       testutil::ZipFile("pack/deflated.txt", CompressibleText(), true)},
      strComment, pLayout);
}

struct TDamage {
  const char* pszWhat;
  std::function<void(std::string&, const TZipLayout&)> damage;
  DWORD dwOpenResult;         // expected from OpenArchiveReader
  int nEntry = 0;             // entry to unpack when the open succeeds
  DWORD dwExtractResult = 0;  // expected from the call that ends the entry
};

const TDamage kDamages[] = {
    {"entry count above the records",
     [](std::string& z, const TZipLayout& l) {
       PutLe16(z, l.nEnd + testutil::kEnd_Entries, 4);
       PutLe16(z, l.nEnd + testutil::kEnd_DiskEntries, 4);
     },
     kZipResult_Corrupt},
    {"entry count far above the directory size",
     [](std::string& z, const TZipLayout& l) {
       PutLe16(z, l.nEnd + testutil::kEnd_Entries, 60000);
       PutLe16(z, l.nEnd + testutil::kEnd_DiskEntries, 60000);
     },
     kZipResult_Corrupt},
    {"entry count of ZIP64",
     [](std::string& z, const TZipLayout& l) {
       PutLe16(z, l.nEnd + testutil::kEnd_Entries, 0xFFFF);
       PutLe16(z, l.nEnd + testutil::kEnd_DiskEntries, 0xFFFF);
     },
     kZipResult_Unsupported},
    {"entry counts of disk and archive differ",
     [](std::string& z, const TZipLayout& l) {
       PutLe16(z, l.nEnd + testutil::kEnd_DiskEntries, 2);
     },
     kZipResult_Unsupported},
    {"directory offset past the end",
     [](std::string& z, const TZipLayout& l) {
       PutLe32(z, l.nEnd + testutil::kEnd_DirOffset, static_cast<DWORD>(z.size()));
     },
     kZipResult_Corrupt},
    {"directory offset off by one",
     [](std::string& z, const TZipLayout& l) {
       PutLe32(z, l.nEnd + testutil::kEnd_DirOffset, static_cast<DWORD>(l.nDirectory + 1));
     },
     kZipResult_Corrupt},
    {"directory size runs into the end record",
     [](std::string& z, const TZipLayout& l) {
       PutLe32(z, l.nEnd + testutil::kEnd_DirSize, static_cast<DWORD>(l.nEnd - l.nDirectory + 1));
     },
     kZipResult_Corrupt},
    {"directory size of 4 GiB",
     [](std::string& z, const TZipLayout& l) {
       PutLe32(z, l.nEnd + testutil::kEnd_DirSize, 0xFFFFFFF0);
     },
     kZipResult_Corrupt},
    {"comment length past the end",
     [](std::string& z, const TZipLayout& l) {
       PutLe16(z, l.nEnd + testutil::kEnd_CommentLength, 1);
     },
     kZipResult_Corrupt},
    {"no end record", [](std::string& z, const TZipLayout& l) { z[l.nEnd] = 'X'; },
     kZipResult_Corrupt},
    {"bytes in front of the archive",
     [](std::string& z, const TZipLayout& l) { z.insert(0, std::string(100, 'M')); },
     kZipResult_Corrupt},
    {"central signature broken", [](std::string& z, const TZipLayout& l) { z[l.central[1]] = 'Q'; },
     kZipResult_Corrupt},
    {"name runs past the directory",
     [](std::string& z, const TZipLayout& l) {
       PutLe16(z, l.central[2] + testutil::kCentral_NameLength, 0xFFFF);
     },
     kZipResult_Corrupt},
    {"name runs one byte past the directory",
     [](std::string& z, const TZipLayout& l) {
       PutLe16(z, l.central[2] + testutil::kCentral_NameLength,
               static_cast<DWORD>(l.nEnd - l.central[2] - 46 + 1));
     },
     kZipResult_Corrupt},
    {"extra field runs past the directory",
     [](std::string& z, const TZipLayout& l) {
       PutLe16(z, l.central[2] + testutil::kCentral_ExtraLength, 300);
     },
     kZipResult_Corrupt},

    {"local header offset at the directory",
     [](std::string& z, const TZipLayout& l) {
       PutLe32(z, l.central[1] + testutil::kCentral_LocalOffset, static_cast<DWORD>(l.nDirectory));
     },
     kZipResult_Ok, 1, kZipResult_Corrupt},
    {"local header offset of ZIP64",
     [](std::string& z, const TZipLayout& l) {
       PutLe32(z, l.central[1] + testutil::kCentral_LocalOffset, 0xFFFFFFFF);
     },
     kZipResult_Ok, 1, kZipResult_Unsupported},
    {"local header offset off by one",
     [](std::string& z, const TZipLayout& l) {
       PutLe32(z, l.central[2] + testutil::kCentral_LocalOffset,
               static_cast<DWORD>(l.local[2] + 1));
     },
     kZipResult_Ok, 2, kZipResult_Corrupt},
    {"local name runs into the directory",
     [](std::string& z, const TZipLayout& l) {
       PutLe16(z, l.local[2] + testutil::kLocal_NameLength, 0xFFFF);
     },
     kZipResult_Ok, 2, kZipResult_Corrupt},
    {"packed size runs into the directory",
     [](std::string& z, const TZipLayout& l) {
       PutLe32(z, l.central[2] + testutil::kCentral_PackedSize, 0x7FFFFFFF);
     },
     kZipResult_Ok, 2, kZipResult_Corrupt},
    {"packed size too small",
     [](std::string& z, const TZipLayout& l) {
       size_t nAt = l.central[2] + testutil::kCentral_PackedSize;
       PutLe32(z, nAt, testutil::GetLe32(z, nAt) - 20);
     },
     kZipResult_Ok, 2, kZipResult_Unpack},
    {"packed size too small for the unpacked size",
     [](std::string& z, const TZipLayout& l) {
       PutLe32(z, l.central[2] + testutil::kCentral_PackedSize, 2);
     },
     kZipResult_Ok, 2, kZipResult_Corrupt},
    {"stored packed and unpacked sizes differ",
     [](std::string& z, const TZipLayout& l) {
       PutLe32(z, l.central[1] + testutil::kCentral_UnpackedSize, 5);
     },
     kZipResult_Ok, 1, kZipResult_Corrupt},
    {"unpacked size one byte too large",
     [](std::string& z, const TZipLayout& l) {
       size_t nAt = l.central[2] + testutil::kCentral_UnpackedSize;
       PutLe32(z, nAt, testutil::GetLe32(z, nAt) + 1);
     },
     kZipResult_Ok, 2, kZipResult_Unpack},
    {"unpacked size one byte too small",
     [](std::string& z, const TZipLayout& l) {
       size_t nAt = l.central[2] + testutil::kCentral_UnpackedSize;
       PutLe32(z, nAt, testutil::GetLe32(z, nAt) - 1);
     },
     kZipResult_Ok, 2, kZipResult_Unpack},
    {"unpacked size beyond what deflate can give",
     [](std::string& z, const TZipLayout& l) {
       PutLe32(z, l.central[2] + testutil::kCentral_UnpackedSize, 0x7FFFFFFF);
     },
     kZipResult_Ok, 2, kZipResult_Corrupt},
    {"CRC of a stored entry wrong",
     [](std::string& z, const TZipLayout& l) { z[l.central[1] + testutil::kCentral_Crc] ^= 1; },
     kZipResult_Ok, 1, kZipResult_Unpack},
    {"stored data changed", [](std::string& z, const TZipLayout& l) { z[l.local[2] - 1] ^= 0x20; },
     kZipResult_Ok, 1, kZipResult_Unpack},
    {"deflate data invalid",
     [](std::string& z, const TZipLayout& l) {
       z[l.local[2] + 30 + strlen("pack/deflated.txt")] = static_cast<char>(0xFF);
     },
     kZipResult_Ok, 2, kZipResult_Unpack},
    {"encrypted entry",
     [](std::string& z, const TZipLayout& l) {
       PutLe16(z, l.central[2] + testutil::kCentral_Flags, 1);
     },
     kZipResult_Ok, 2, kZipResult_Unsupported},
    {"unknown method",
     [](std::string& z, const TZipLayout& l) {
       PutLe16(z, l.central[2] + testutil::kCentral_Method, 12);
     },
     kZipResult_Ok, 2, kZipResult_Unsupported},
};

TEST(ZipReaderDamageTest, DamagedFieldsGiveClearCodes) {
  TZipLayout layout;
  std::string strGood = SampleArchive(&layout);
  for (const TDamage& d : kDamages) {
    SCOPED_TRACE(d.pszWhat);
    std::string strZip = strGood;
    d.damage(strZip, layout);
    CGuardedBuffer bytes(strZip);
    CArchiveReaderPtr pReader(OpenArchiveReader(bytes.Data(), bytes.Size(), kArchiveKind_Memory));
    EXPECT_EQ(d.dwOpenResult, LastArchiveResult());
    if (d.dwOpenResult != kZipResult_Ok) {
      EXPECT_FALSE(pReader);
      continue;
    }
    ASSERT_TRUE(pReader);
    TArchiveEntry entry;
    ASSERT_EQ(kZipResult_Ok, ArchiveEntryAt(pReader.get(), d.nEntry, &entry));
    DWORD dwBuffer = entry.dwUnpackedSize < 65536 ? entry.dwUnpackedSize : 65536;
    TUnpacked whole = UnpackInPieces(pReader.get(), d.nEntry, entry.dwUnpackedSize, dwBuffer);
    EXPECT_TRUE(whole.bEnded);
    EXPECT_EQ(d.dwExtractResult, whole.dwResult);
    // The damage stays with its entry: the others still unpack.
    for (int i = 0; i < 3; ++i) {
      if (i == d.nEntry) continue;
      ASSERT_EQ(kZipResult_Ok, ArchiveEntryAt(pReader.get(), i, &entry));
      TUnpacked other = UnpackInPieces(pReader.get(), i, entry.dwUnpackedSize, 4096);
      EXPECT_EQ(kZipResult_Ok, other.dwResult) << i;
    }
  }
}

TEST(ZipReaderDamageTest, EveryTruncationFailsToOpen) {
  std::string strGood = SampleArchive(nullptr, "a comment");
  for (size_t nLength = 0; nLength < strGood.size(); ++nLength) {
    CGuardedBuffer bytes(strGood.substr(0, nLength));
    CArchiveReaderPtr pReader(OpenArchiveReader(bytes.Data(), bytes.Size(), kArchiveKind_Memory));
    EXPECT_FALSE(pReader) << nLength;
    EXPECT_EQ(kZipResult_Corrupt, LastArchiveResult()) << nLength;
  }
}

TEST(ZipReaderDamageTest, FalseEndRecordInTheCommentIsPassedOver) {
  std::string strFalse = "PK\x05\x06";
  strFalse += std::string(18, '\0');
  std::string strZip = SampleArchive(nullptr, "before " + strFalse + " after");
  CArchiveReaderPtr pReader(
      OpenArchiveReader(strZip.data(), static_cast<DWORD>(strZip.size()), kArchiveKind_Memory));
  ASSERT_TRUE(pReader);
  TArchiveEntry entry;
  ASSERT_EQ(kZipResult_Ok, ArchiveEntryAt(pReader.get(), -1, &entry));
  EXPECT_EQ(3, entry.nIndex);
}

TEST(ZipReaderDamageTest, BytesAfterTheEndRecordAreTolerated) {
  std::string strZip = SampleArchive(nullptr) + "trailing bytes";
  CArchiveReaderPtr pReader(
      OpenArchiveReader(strZip.data(), static_cast<DWORD>(strZip.size()), kArchiveKind_Memory));
  ASSERT_TRUE(pReader);
  TArchiveEntry entry;
  ASSERT_EQ(kZipResult_Ok, ArchiveEntryAt(pReader.get(), -1, &entry));
  EXPECT_EQ(3, entry.nIndex);
}

TEST(ZipReaderDamageTest, EndRecordBeyondTheLongestCommentIsNotFound) {
  // 65535 bytes of comment is the most the format allows; the record before
  // more trailing bytes is out of the reader's reach.
  std::string strZip = SampleArchive(nullptr);
  CArchiveReaderPtr pMax(nullptr);
  std::string strMax = SampleArchive(nullptr, std::string(65535, 'c'));
  pMax.reset(
      OpenArchiveReader(strMax.data(), static_cast<DWORD>(strMax.size()), kArchiveKind_Memory));
  EXPECT_TRUE(pMax);
  strZip += std::string(65536, 'c');
  EXPECT_EQ(nullptr, OpenArchiveReader(strZip.data(), static_cast<DWORD>(strZip.size()),
                                       kArchiveKind_Memory));
  EXPECT_EQ(kZipResult_Corrupt, LastArchiveResult());
}

// Random damage of one to four bytes anywhere: every call must return, stay
// inside the guarded buffers and, when it reports success, deliver exactly
// the recorded number of bytes.
void FuzzArchive(const std::string& strGood, unsigned uSeed, int nRounds, bool bGuardAfter) {
  std::mt19937 rng(uSeed);
  for (int nRound = 0; nRound < nRounds; ++nRound) {
    std::string strZip = strGood;
    int nFlips = 1 + static_cast<int>(rng() % 4);
    for (int i = 0; i < nFlips; ++i) strZip[rng() % strZip.size()] = static_cast<char>(rng());
    CGuardedBuffer bytes(strZip, bGuardAfter);
    CArchiveReaderPtr pReader(OpenArchiveReader(bytes.Data(), bytes.Size(), kArchiveKind_Memory));
    if (!pReader) {
      EXPECT_NE(kZipResult_Ok, LastArchiveResult());
      continue;
    }
    TArchiveEntry count;
    ASSERT_EQ(kZipResult_Ok, ArchiveEntryAt(pReader.get(), -1, &count));
    for (int nIndex = 0; nIndex < count.nIndex; ++nIndex) {
      TArchiveEntry entry;
      ASSERT_EQ(kZipResult_Ok, ArchiveEntryAt(pReader.get(), nIndex, &entry));
      int nFound = -1;
      FindArchiveEntry(pReader.get(), entry.szName, true, &nFound, nullptr);
      if (entry.dwUnpackedSize > 300000) continue;
      DWORD dwChunk = 1 + rng() % 5000;
      TUnpacked pieces = UnpackInPieces(pReader.get(), nIndex, entry.dwUnpackedSize, dwChunk);
      ASSERT_TRUE(pieces.bEnded) << "round " << nRound << " entry " << nIndex;
      if (pieces.dwResult == kZipResult_Ok) {
        EXPECT_EQ(entry.dwUnpackedSize, pieces.strData.size());
      }
    }
  }
}

TEST(ZipReaderDamageTest, RandomDamageNeverEscapesTheBuffers) {
  std::string strGood = SampleArchive(nullptr, "comment");
  FuzzArchive(strGood, 1, 1500, true);
  FuzzArchive(strGood, 2, 500, false);
}

TEST(ZipReaderDamageTest, RandomDamageOfOtherToolsArchives) {
  std::string strCmake;
  ASSERT_TRUE(
      testutil::ReadFileBytes(testutil::HostPath(NORLET_ZIP_FIXTURES) + L"\\cmake.zip", strCmake));
  FuzzArchive(strCmake, 3, 150, true);
}

}  // namespace
