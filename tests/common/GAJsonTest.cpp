#include <gtest/gtest.h>

#include <string>

#include "TestUtil.h"
#include "common/GA.h"
#include "common/GAJson.h"

namespace {

const char kClientId[] = "0F1E2D3C-4B5A-4978-8796-A5B4C3D2E1F0";

std::string ReadSourceFile(const wchar_t* pszRelative) {
  std::string strData;
  testutil::ReadFileBytes(testutil::SourceDir() + L"\\" + pszRelative, strData);
  return strData;
}

TEST(GAJson, StartInstallReportMatchesTheExpectedTextByteForByte) {
  GAPayload payload;
  payload.strClientId = kClientId;
  payload.strUidValue = kClientId;
  payload.events.push_back(
      {"Downloader_Start_Install", "Norlet \"Down\" \\ \xC3\xA9 (Windows version)", kClientId});
  std::string strExpected = ReadSourceFile(L"tests\\common\\data\\GA_Start_Install.json");
  ASSERT_FALSE(strExpected.empty());
  EXPECT_EQ(strExpected, BuildGAJsonText(payload));
}

TEST(GAJson, EmptyIdStillWritesEveryMember) {
  GAPayload payload;
  payload.events.push_back({"Installed_Succeed", "", ""});
  EXPECT_EQ(
      "{\n"
      "    \"client_id\": \"\",\n"
      "    \"user_properties\": {\n"
      "        \"uid\": {\n"
      "            \"value\": \"\"\n"
      "        }\n"
      "    },\n"
      "    \"events\": [\n"
      "        {\n"
      "            \"name\": \"Installed_Succeed\",\n"
      "            \"params\": {\n"
      "                \"event_category\": \"\",\n"
      "                \"event_label\": \"\"\n"
      "            }\n"
      "        }\n"
      "    ]\n"
      "}",
      BuildGAJsonText(payload));
}

TEST(GAClientIdFormat, ThirdGroupLowerCaseOthersUpperCase) {
  const GUID guid = {0xABCDEF01, 0xBCDE, 0xCDEF, {0xDE, 0xAF, 0x0B, 0xCA, 0xFE, 0xBA, 0xBE, 0x0A}};
  EXPECT_EQ(L"ABCDEF01-BCDE-cdef-DEAF-0BCAFEBABE0A", FormatClientId(guid));
  const GUID zero = {};
  EXPECT_EQ(L"00000000-0000-0000-0000-000000000000", FormatClientId(zero));
}

TEST(GACollectUrl, NamesTheCollectorPathAndQuery) {
  std::wstring strUrl = GetGACollectUrl();
  EXPECT_EQ(0u, strUrl.find(L"https://"));
  size_t nPath = strUrl.find(L"/mp/collect?measurement_id=");
  ASSERT_NE(std::wstring::npos, nPath);
  EXPECT_GT(nPath, 8u);
  EXPECT_NE(std::wstring::npos, strUrl.find(L"&api_secret=", nPath));
}

}  // namespace
