#pragma once

// Folder helpers shared by every library, the log facility included (which
// links nothing else of ours), hence inline.
#include <windows.h>

#include <string>

// "/" to "\", then runs of backslashes to one.
template <typename S>
S NormaliseSeparators(S strPath) {
  using Ch = typename S::value_type;
  S strOut;
  strOut.reserve(strPath.size());
  for (Ch ch : strPath) {
    if (ch == Ch('/')) ch = Ch('\\');
    if (ch == Ch('\\') && !strOut.empty() && strOut.back() == Ch('\\')) continue;
    strOut.push_back(ch);
  }
  return strOut;
}

inline bool FolderExists(const std::wstring& strPath) {
  DWORD dwAttr = GetFileAttributesW(strPath.c_str());
  return dwAttr != INVALID_FILE_ATTRIBUTES && (dwAttr & FILE_ATTRIBUTE_DIRECTORY);
}

// Creates every missing level of a folder; true when it exists afterwards.
inline bool CreateFolderTree(const std::wstring& strFolder) {
  std::wstring strPath = strFolder;
  if (strPath.size() >= 2 && strPath.back() == L'\\') strPath.pop_back();
  if (strPath.empty()) return false;
  if (FolderExists(strPath)) return true;
  std::wstring strWalk = NormaliseSeparators(strPath + L"\\");
  for (size_t i = 1; i < strWalk.size(); ++i) {
    if (strWalk[i] != L'\\') continue;
    std::wstring strPrefix = strWalk.substr(0, i);
    if (!FolderExists(strPrefix)) CreateDirectoryW(strPrefix.c_str(), nullptr);
  }
  CreateDirectoryW(strPath.c_str(), nullptr);
  return FolderExists(strPath);
}
