#include <gtest/gtest.h>
#include <rapidjson/document.h>

#include "common/GAJsonStruct.h"

namespace {

GAPayload SamplePayload() {
  GAPayload payload;
  payload.strClientId = "id-1";
  payload.strUidValue = "uid-1";
  payload.events.push_back({"Downloader_Installed", "cat", "label"});
  return payload;
}

std::vector<std::string> MemberNames(const rapidjson::Value& object) {
  std::vector<std::string> names;
  for (auto it = object.MemberBegin(); it != object.MemberEnd(); ++it) {
    names.push_back(it->name.GetString());
  }
  return names;
}

TEST(GAJsonStruct, DefaultFilterKeepsEveryMemberInOrder) {
  GAPayload payload = SamplePayload();
  CDownloaderGAJSONStruct record(payload);
  rapidjson::Document document;
  rapidjson::Value value;
  record.BuildValue(value, document.GetAllocator());
  EXPECT_EQ((std::vector<std::string>{"client_id", "user_properties", "events"}),
            MemberNames(value));
  EXPECT_STREQ("uid-1", value["user_properties"]["uid"]["value"].GetString());
  const rapidjson::Value& event = value["events"][0];
  EXPECT_EQ((std::vector<std::string>{"name", "params"}), MemberNames(event));
  EXPECT_EQ((std::vector<std::string>{"event_category", "event_label"}),
            MemberNames(event["params"]));
}

TEST(GAJsonStruct, KeyFilterLeavesOutOrKeepsOnlyTheListedKeys) {
  GAPayload payload = SamplePayload();
  rapidjson::Document document;
  {
    CDownloaderGAJSONStruct record(payload);
    record.SetKeyFilter(IJSONStruct::kKeyFilter_Exclude, {"user_properties", "event_label"});
    rapidjson::Value value;
    record.BuildValue(value, document.GetAllocator());
    EXPECT_EQ((std::vector<std::string>{"client_id", "events"}), MemberNames(value));
    EXPECT_EQ((std::vector<std::string>{"event_category"}),
              MemberNames(value["events"][0]["params"]));
  }
  {
    CDownloaderGAJSONStruct record(payload);
    record.SetKeyFilter(IJSONStruct::kKeyFilter_Include, {"client_id"});
    rapidjson::Value value;
    record.BuildValue(value, document.GetAllocator());
    EXPECT_EQ((std::vector<std::string>{"client_id"}), MemberNames(value));
  }
}

}  // namespace
