// The setup exe runs elevated from folders a user downloads into: every DLL
// in its static import table must be one the system only ever loads from its
// own folder (the KnownDLLs list). Everything else is delay-loaded or loaded
// at run time from the system folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "SetupExes.h"
#include "TestUtil.h"

namespace {

std::string Lower(std::string str) {
  std::transform(str.begin(), str.end(), str.begin(),
                 [](unsigned char ch) { return static_cast<char>(tolower(ch)); });
  return str;
}

// Windows 10/11 KnownDLLs, plus the loader's own modules.
const std::set<std::string> kKnownDlls = {
    "advapi32.dll", "clbcatq.dll",  "combase.dll",  "comdlg32.dll", "coml2.dll",     "difxapi.dll",
    "gdi32.dll",    "gdiplus.dll",  "imagehlp.dll", "imm32.dll",    "kernel32.dll",  "msctf.dll",
    "msvcrt.dll",   "normaliz.dll", "nsi.dll",      "ole32.dll",    "oleaut32.dll",  "psapi.dll",
    "rpcrt4.dll",   "sechost.dll",  "setupapi.dll", "shcore.dll",   "shell32.dll",   "shlwapi.dll",
    "user32.dll",   "wldap32.dll",  "ws2_32.dll",   "ntdll.dll",    "kernelbase.dll"};

struct CPeImage {
  std::string strBytes;
  bool b64 = false;
  std::vector<std::string> imports;
  std::string strError;
};

template <typename T>
bool ReadAt(const std::string& strBytes, size_t nOffset, T& value) {
  if (nOffset > strBytes.size() || strBytes.size() - nOffset < sizeof(T)) return false;
  memcpy(&value, strBytes.data() + nOffset, sizeof(T));
  return true;
}

// Maps a relative virtual address to a file offset through the section table.
bool RvaToOffset(const std::string& strBytes, size_t nSections, size_t nSectionTable, DWORD dwRva,
                 size_t& nOffset) {
  for (size_t i = 0; i < nSections; ++i) {
    IMAGE_SECTION_HEADER section;
    if (!ReadAt(strBytes, nSectionTable + i * sizeof(section), section)) return false;
    DWORD dwSize = std::max(section.Misc.VirtualSize, section.SizeOfRawData);
    if (dwRva >= section.VirtualAddress && dwRva < section.VirtualAddress + dwSize) {
      nOffset = dwRva - section.VirtualAddress + section.PointerToRawData;
      return true;
    }
  }
  return false;
}

bool ReadImports(CPeImage& image) {
  const std::string& b = image.strBytes;
  IMAGE_DOS_HEADER dos;
  if (!ReadAt(b, 0, dos) || dos.e_magic != IMAGE_DOS_SIGNATURE) return false;
  DWORD dwSignature = 0;
  IMAGE_FILE_HEADER file;
  size_t nFile = dos.e_lfanew + sizeof(DWORD);
  if (!ReadAt(b, dos.e_lfanew, dwSignature) || dwSignature != IMAGE_NT_SIGNATURE ||
      !ReadAt(b, nFile, file))
    return false;
  size_t nOptional = nFile + sizeof(file);
  WORD wMagic = 0;
  if (!ReadAt(b, nOptional, wMagic)) return false;
  image.b64 = wMagic == IMAGE_NT_OPTIONAL_HDR64_MAGIC;
  IMAGE_DATA_DIRECTORY importDir;
  size_t nDirs = image.b64 ? offsetof(IMAGE_OPTIONAL_HEADER64, DataDirectory)
                           : offsetof(IMAGE_OPTIONAL_HEADER32, DataDirectory);
  if (!ReadAt(b, nOptional + nDirs + IMAGE_DIRECTORY_ENTRY_IMPORT * sizeof(importDir), importDir))
    return false;
  size_t nSectionTable = nOptional + file.SizeOfOptionalHeader;
  size_t nDesc = 0;
  if (!RvaToOffset(b, file.NumberOfSections, nSectionTable, importDir.VirtualAddress, nDesc))
    return false;
  for (;; nDesc += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
    IMAGE_IMPORT_DESCRIPTOR desc;
    if (!ReadAt(b, nDesc, desc)) return false;
    if (desc.Name == 0) break;
    size_t nName = 0;
    if (!RvaToOffset(b, file.NumberOfSections, nSectionTable, desc.Name, nName)) return false;
    size_t nEnd = b.find('\0', nName);
    if (nEnd == std::string::npos) return false;
    image.imports.push_back(Lower(b.substr(nName, nEnd - nName)));
  }
  return true;
}

}  // namespace

TEST(ImportTable, OnlyKnownDllsAreImportedStatically) {
  for (const std::wstring& strExe : SetupExes()) {
    CPeImage image;
    ASSERT_TRUE(testutil::ReadFileBytes(strExe, image.strBytes));
    ASSERT_TRUE(ReadImports(image)) << "unreadable import table";
    EXPECT_FALSE(image.imports.empty());
    EXPECT_NE(std::find(image.imports.begin(), image.imports.end(), "kernel32.dll"),
              image.imports.end());
    for (const std::string& strDll : image.imports)
      EXPECT_TRUE(kKnownDlls.count(strDll))
          << strDll << " is imported statically by " << (image.b64 ? "x86_64" : "i686") << " exe";
  }
}

TEST(ImportTable, ReaderSeesAStaticImportOutsideKnownDlls) {
  // A copy of the setup exe with one import renamed must be caught.
  CPeImage image;
  ASSERT_TRUE(testutil::ReadFileBytes(testutil::HostPath(NORLET_SETUP_EXE), image.strBytes));
  size_t nPos = Lower(image.strBytes).find("shell32.dll");
  ASSERT_NE(nPos, std::string::npos);
  image.strBytes.replace(nPos, 11, "winhttp.dll");
  ASSERT_TRUE(ReadImports(image));
  EXPECT_NE(std::find(image.imports.begin(), image.imports.end(), "winhttp.dll"),
            image.imports.end());
}
