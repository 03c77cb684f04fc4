#pragma once

// The language pack carried in the setup exe as RCDATA 105 (a zip archive),
// unpacked by the setup window at every start so that changed or deleted pack
// files are restored. Nothing here shows a message: failures leave the pack
// folder incomplete and the language manager falls back to its built-in texts.
#include <windows.h>

#include <string>

// strWorkFolder followed by "language\": where the pack is unpacked.
std::wstring LanguagePackFolder(const std::wstring& strWorkFolder);

// Unpacks resource 105 of the process's exe into LanguagePackFolder(strWorkFolder),
// overwriting every file of the pack and leaving other files alone. True when
// every entry was written.
bool LoadResZipFile(const std::wstring& strWorkFolder);

// Unpacks a zip archive held in memory into strFolder (created with its
// parents). Entries of size 0 are folders; a file is written only when its
// folder already exists, so its folder entry must come first. Entries whose
// names would lead outside strFolder are skipped. True when every entry was written.
bool UnpackArchiveToFolder(const void* pData, DWORD dwSize, const std::wstring& strFolder);
