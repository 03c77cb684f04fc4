#include "download/SaveFolder.h"

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
