#include "download/SaveFolder.h"

#include <shlwapi.h>
#include <windows.h>

namespace {

bool Exists(const std::wstring& strPath) {
  return PathFileExistsW(strPath.c_str()) != FALSE;
}

}  // namespace

std::wstring NormalizeSavePath(const std::wstring& strPath) {
  std::wstring strSlashed = strPath;
  for (wchar_t& ch : strSlashed)
    if (ch == L'/') ch = L'\\';
  std::wstring strOut;
  for (size_t i = 0; i < strSlashed.size(); ++i) {
    strOut.push_back(strSlashed[i]);
    if (strSlashed[i] == L'\\' && i + 1 < strSlashed.size() && strSlashed[i + 1] == L'\\') ++i;
  }
  return strOut;
}

std::wstring SaveFolderOf(const std::wstring& strPath) {
  size_t nSlash = strPath.rfind(L'\\');
  return nSlash == std::wstring::npos ? std::wstring() : strPath.substr(0, nSlash);
}

void CreateFolderTree(const std::wstring& strFolder) {
  if (strFolder.empty()) return;
  std::wstring strTrimmed = strFolder;
  if (strTrimmed.size() > 1 && strTrimmed.back() == L'\\') strTrimmed.pop_back();
  if (Exists(strTrimmed)) return;
  std::wstring strWithSlash = strTrimmed + L"\\";
  for (size_t i = 1; i < strWithSlash.size(); ++i) {
    if (strWithSlash[i] != L'\\') continue;
    std::wstring strPrefix = strWithSlash.substr(0, i);
    if (!Exists(strPrefix)) CreateDirectoryW(strPrefix.c_str(), nullptr);
  }
  CreateDirectoryW(strTrimmed.c_str(), nullptr);
}
