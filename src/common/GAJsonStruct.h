#pragma once

// Records that turn themselves into RapidJSON values. Only sources of
// norlet_common include this header: RapidJSON is a private dependency.
#include <rapidjson/document.h>

#include <set>
#include <string>

#include "common/GAJson.h"

using JsonAllocator = rapidjson::MemoryPoolAllocator<>;

class IJSONStruct {
 public:
  enum KeyFilterMode {
    kKeyFilter_Exclude = 0,  // leave out the listed keys
    kKeyFilter_Include = 1,  // keep only the listed keys
  };

  virtual void ParseValue(const rapidjson::Value& value) = 0;
  virtual void BuildValue(rapidjson::Value& value, JsonAllocator& allocator) = 0;

  void SetKeyFilter(int nMode, const std::set<std::string>& keys);

 protected:
  // Records are owned and destroyed through their concrete type.
  ~IJSONStruct() = default;

  bool IsKeyWanted(const char* pszKey) const;
  // Adds a member to an object when its key passes the filter.
  void AddMember(rapidjson::Value& object, const char* pszKey, rapidjson::Value& value,
                 JsonAllocator& allocator) const;
  void AddString(rapidjson::Value& object, const char* pszKey, const std::string& strValue,
                 JsonAllocator& allocator) const;

 private:
  int m_nFilterMode = kKeyFilter_Exclude;
  std::set<std::string> m_setFilterKeys;
};

// The analytics payload as JSON; it refers to the payload, never owns it.
class CDownloaderGAJSONStruct final : public IJSONStruct {
 public:
  explicit CDownloaderGAJSONStruct(const GAPayload& payload) : m_payload(payload) {}

  void ParseValue(const rapidjson::Value& value) override {}
  void BuildValue(rapidjson::Value& value, JsonAllocator& allocator) override;

 private:
  const GAPayload& m_payload;
};
