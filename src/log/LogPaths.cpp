#include "log/LogPaths.h"

#include <windows.h>

#include "common/FolderTree.h"

namespace logpaths {

std::string ModuleBaseNameFromPath(const std::string& strPath) {
  std::string strName = NormaliseSeparators<std::string>(strPath);
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
