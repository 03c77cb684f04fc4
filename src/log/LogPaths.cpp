#include "log/LogPaths.h"

#include <windows.h>

namespace logpaths {

template <typename S>
static S NormaliseImpl(S strPath, typename S::value_type slash, typename S::value_type back) {
  for (auto& ch : strPath) {
    if (ch == slash) ch = back;
  }
  S strOut;
  strOut.reserve(strPath.size());
  for (auto ch : strPath) {
    if (ch == back && !strOut.empty() && strOut.back() == back) continue;
    strOut.push_back(ch);
  }
  return strOut;
}

std::string NormaliseSeparators(std::string strPath) {
  return NormaliseImpl(std::move(strPath), '/', '\\');
}

std::wstring NormaliseSeparators(std::wstring strPath) {
  return NormaliseImpl(std::move(strPath), L'/', L'\\');
}

std::string ModuleBaseNameFromPath(const std::string& strPath) {
  std::string strName = NormaliseSeparators(strPath);
  size_t nSlash = strName.rfind('\\');
  if (nSlash != std::string::npos) strName.erase(0, nSlash + 1);
  size_t nDot = strName.find('.');
  if (nDot != std::string::npos) strName.erase(nDot);
  return strName;
}

const std::string& ModuleBaseName() {
  static const std::string s_strName = [] {
    char szPath[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, szPath, MAX_PATH);
    return ModuleBaseNameFromPath(szPath);
  }();
  return s_strName;
}

static bool FolderExists(const std::wstring& strPath) {
  DWORD dwAttr = GetFileAttributesW(strPath.c_str());
  return dwAttr != INVALID_FILE_ATTRIBUTES && (dwAttr & FILE_ATTRIBUTE_DIRECTORY);
}

bool CreateFolderTree(const std::wstring& strFolder) {
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

std::string QualifiedFunctionName(const std::string& strSignature) {
  // Drop the parameter list, then everything up to the last blank that is
  // outside template brackets (the return type).
  size_t nParen = strSignature.find('(');
  std::string strName = strSignature.substr(0, nParen);
  int nDepth = 0;
  size_t nStart = 0;
  for (size_t i = 0; i < strName.size(); ++i) {
    if (strName[i] == '<') ++nDepth;
    if (strName[i] == '>') --nDepth;
    if (strName[i] == ' ' && nDepth == 0) nStart = i + 1;
  }
  return strName.substr(nStart);
}

}  // namespace logpaths
