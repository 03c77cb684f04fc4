#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "common/GA.h"

namespace {

const wchar_t kClientKey[] = L"SOFTWARE\\WOW6432Node\\Norlet\\NorletDown";

bool IsNewIdForm(const std::wstring& strId) {
  if (strId.size() != 36) return false;
  for (size_t i = 0; i < strId.size(); ++i) {
    wchar_t ch = strId[i];
    if (i == 8 || i == 13 || i == 18 || i == 23) {
      if (ch != L'-') return false;
    } else if (i > 13 && i < 18) {
      if (!iswxdigit(ch) || iswupper(ch)) return false;
    } else if (!iswxdigit(ch) || iswlower(ch)) {
      return false;
    }
  }
  return true;
}

std::wstring StoredId() {
  wchar_t szValue[256] = {};
  DWORD dwSize = sizeof(szValue);
  if (RegGetValueW(HKEY_LOCAL_MACHINE, kClientKey, L"GUID", RRF_RT_REG_SZ, nullptr, szValue,
                   &dwSize) != ERROR_SUCCESS) {
    return L"<missing>";
  }
  return szValue;
}

void StoreId(const wchar_t* pszValue) {
  RegSetKeyValueW(HKEY_LOCAL_MACHINE, kClientKey, L"GUID", REG_SZ, pszValue,
                  static_cast<DWORD>((wcslen(pszValue) + 1) * sizeof(wchar_t)));
}

class GAClientId : public testing::Test {
 protected:
  void SetUp() override { RegDeleteTreeW(HKEY_LOCAL_MACHINE, kClientKey); }
  void TearDown() override { RegDeleteTreeW(HKEY_LOCAL_MACHINE, kClientKey); }
};

TEST_F(GAClientId, FirstRunCreatesAndStoresSecondRunReuses) {
  std::wstring strFirst = CGA::GetClientId();
  EXPECT_TRUE(IsNewIdForm(strFirst)) << strFirst;
  EXPECT_EQ(strFirst, StoredId());
  EXPECT_EQ(strFirst, CGA::GetClientId());
  EXPECT_EQ(strFirst, StoredId());
}

TEST_F(GAClientId, MalformedStoredValuesAreReplacedWellFormedOnesKept) {
  struct {
    const wchar_t* pszStored;
    bool bKept;
  } cases[] = {
      {L"{0F1E2D3C-4B5A-4978-8796-A5B4C3D2E1F0}", false},
      {L"0F1E2D3C 4B5A", false},
      {L"", false},
      {L"abc_def", false},
      {L"0F1E2D3C-4B5A-4978-8796-A5B4C3D2E1F0", true},
      {L"custom-ID-42", true},
  };
  for (const auto& c : cases) {
    StoreId(c.pszStored);
    std::wstring strId = CGA::GetClientId();
    if (c.bKept) {
      EXPECT_EQ(c.pszStored, strId);
    } else {
      EXPECT_TRUE(IsNewIdForm(strId)) << c.pszStored << " -> " << strId;
      EXPECT_EQ(strId, StoredId()) << c.pszStored;
    }
  }
}

TEST_F(GAClientId, NonStringValueIsReplaced) {
  DWORD dwValue = 7;
  RegSetKeyValueW(HKEY_LOCAL_MACHINE, kClientKey, L"GUID", REG_DWORD, &dwValue, sizeof(dwValue));
  std::wstring strId = CGA::GetClientId();
  EXPECT_TRUE(IsNewIdForm(strId)) << strId;
  EXPECT_EQ(strId, StoredId());
}

}  // namespace
