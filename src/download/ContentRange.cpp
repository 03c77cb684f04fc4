#include "download/ContentRange.h"

#include <climits>
#include <cwctype>

namespace {

bool IsBlank(wchar_t ch) {
  return ch == L' ' || ch == L'\t';
}

// One or more decimal digits at nPos, at most INT_MAX; nPos moves past them.
bool ReadNumber(const std::wstring& str, size_t& nPos, int& nValue) {
  size_t nBegin = nPos;
  long long llValue = 0;
  for (; nPos < str.size() && str[nPos] >= L'0' && str[nPos] <= L'9'; ++nPos) {
    llValue = llValue * 10 + (str[nPos] - L'0');
    if (llValue > INT_MAX) return false;
  }
  nValue = static_cast<int>(llValue);
  return nPos > nBegin;
}

bool ReadChar(const std::wstring& str, size_t& nPos, wchar_t ch) {
  if (nPos >= str.size() || str[nPos] != ch) return false;
  ++nPos;
  return true;
}

}  // namespace

bool ParseContentRange(const std::wstring& strValue, int& nFirst, int& nLast, int& nTotal) {
  size_t nPos = 0;
  while (nPos < strValue.size() && IsBlank(strValue[nPos])) ++nPos;
  static const wchar_t kUnit[] = L"bytes";
  for (const wchar_t* p = kUnit; *p; ++p, ++nPos) {
    if (nPos >= strValue.size() || towlower(strValue[nPos]) != *p) return false;
  }
  if (nPos >= strValue.size() || !IsBlank(strValue[nPos])) return false;
  while (nPos < strValue.size() && IsBlank(strValue[nPos])) ++nPos;

  int nFirstValue = 0, nLastValue = 0, nTotalValue = -1;
  if (!ReadNumber(strValue, nPos, nFirstValue) || !ReadChar(strValue, nPos, L'-') ||
      !ReadNumber(strValue, nPos, nLastValue) || !ReadChar(strValue, nPos, L'/'))
    return false;
  if (!ReadChar(strValue, nPos, L'*') && !ReadNumber(strValue, nPos, nTotalValue)) return false;
  while (nPos < strValue.size() && IsBlank(strValue[nPos])) ++nPos;
  if (nPos != strValue.size()) return false;

  if (nFirstValue > nLastValue) return false;
  if (nTotalValue >= 0 && nLastValue >= nTotalValue) return false;
  nFirst = nFirstValue;
  nLast = nLastValue;
  nTotal = nTotalValue;
  return true;
}

bool IsContentRangeOf(const std::wstring& strValue, int nFirst, int nLast, int nFileSize) {
  int nGotFirst = 0, nGotLast = 0, nGotTotal = 0;
  if (!ParseContentRange(strValue, nGotFirst, nGotLast, nGotTotal)) return false;
  if (nGotFirst != nFirst || nGotLast != nLast) return false;
  return nGotTotal < 0 || nGotTotal == nFileSize;
}
