#include "common/GAJson.h"

#include <rapidjson/prettywriter.h>
#include <rapidjson/stringbuffer.h>

#include "common/GAJsonStruct.h"

namespace {

const size_t kWriterInitialCapacity = 256;

}  // namespace

void IJSONStruct::SetKeyFilter(int nMode, const std::set<std::string>& keys) {
  m_nFilterMode = nMode;
  m_setFilterKeys = keys;
}

bool IJSONStruct::IsKeyWanted(const char* pszKey) const {
  bool bListed = m_setFilterKeys.count(pszKey) != 0;
  return m_nFilterMode == kKeyFilter_Include ? bListed : !bListed;
}

void IJSONStruct::AddMember(rapidjson::Value& object, const char* pszKey, rapidjson::Value& value,
                            JsonAllocator& allocator) const {
  if (!IsKeyWanted(pszKey)) return;
  object.AddMember(rapidjson::Value(pszKey, allocator), value, allocator);
}

void IJSONStruct::AddString(rapidjson::Value& object, const char* pszKey,
                            const std::string& strValue, JsonAllocator& allocator) const {
  rapidjson::Value value(strValue.c_str(), static_cast<rapidjson::SizeType>(strValue.size()),
                         allocator);
  AddMember(object, pszKey, value, allocator);
}

void CDownloaderGAJSONStruct::BuildValue(rapidjson::Value& value, JsonAllocator& allocator) {
  value.SetObject();
  AddString(value, "client_id", m_payload.strClientId, allocator);

  rapidjson::Value uid(rapidjson::kObjectType);
  AddString(uid, "value", m_payload.strUidValue, allocator);
  rapidjson::Value properties(rapidjson::kObjectType);
  AddMember(properties, "uid", uid, allocator);
  AddMember(value, "user_properties", properties, allocator);

  rapidjson::Value events(rapidjson::kArrayType);
  for (const GAEvent& event : m_payload.events) {
    rapidjson::Value params(rapidjson::kObjectType);
    AddString(params, "event_category", event.strCategory, allocator);
    AddString(params, "event_label", event.strLabel, allocator);
    rapidjson::Value item(rapidjson::kObjectType);
    AddString(item, "name", event.strName, allocator);
    AddMember(item, "params", params, allocator);
    events.PushBack(item, allocator);
  }
  AddMember(value, "events", events, allocator);
}

std::string BuildGAJsonText(const GAPayload& payload) {
  rapidjson::Document document;
  CDownloaderGAJSONStruct record(payload);
  rapidjson::Value value;
  record.BuildValue(value, document.GetAllocator());
  document.CopyFrom(value, document.GetAllocator());

  rapidjson::StringBuffer buffer(nullptr, kWriterInitialCapacity);
  rapidjson::PrettyWriter<rapidjson::StringBuffer> writer(buffer);
  document.Accept(writer);
  return std::string(buffer.GetString(), buffer.GetSize());
}
