#pragma once

// Code-page conversions shared by every library, the log facility included
// (which links nothing else of ours), hence inline. Empty on failure.
#include <windows.h>

#include <string>
#include <string_view>

inline std::wstring MultiByteToWideString(UINT nCodePage, std::string_view text) {
  if (text.empty()) return std::wstring();
  int nLength = static_cast<int>(text.size());
  int nChars = MultiByteToWideChar(nCodePage, 0, text.data(), nLength, nullptr, 0);
  if (nChars <= 0) return std::wstring();
  std::wstring strWide(nChars, L'\0');
  MultiByteToWideChar(nCodePage, 0, text.data(), nLength, &strWide[0], nChars);
  return strWide;
}

// Characters without a form in the code page become its default character.
inline std::string WideToMultiByteString(UINT nCodePage, std::wstring_view text) {
  if (text.empty()) return std::string();
  int nLength = static_cast<int>(text.size());
  int nBytes =
      WideCharToMultiByte(nCodePage, 0, text.data(), nLength, nullptr, 0, nullptr, nullptr);
  if (nBytes <= 0) return std::string();
  std::string strBytes(nBytes, '\0');
  WideCharToMultiByte(nCodePage, 0, text.data(), nLength, &strBytes[0], nBytes, nullptr, nullptr);
  return strBytes;
}
