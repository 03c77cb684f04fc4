#pragma once

// The analytics report records and their JSON text (GA4 Measurement
// Protocol body). RapidJSON stays inside common: see GAJsonStruct.h.
#include <string>
#include <vector>

struct GAEvent {
  std::string strName;
  std::string strCategory;
  std::string strLabel;
};

struct GAPayload {
  std::string strClientId;
  std::string strUidValue;
  std::vector<GAEvent> events;
};

// The pretty-printed body: four blanks per level, no final line feed.
std::string BuildGAJsonText(const GAPayload& payload);
