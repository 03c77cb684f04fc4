#pragma once

#include <windows.h>

#include <map>
#include <string>

// Facts about the machine and its folders. Nothing here logs or shows a
// message: failures give an empty string, false or a neutral value.

// The system's Program Files folder followed by "\" ("\" alone when unknown).
std::wstring GetProgramFilesFolder();
// Program Files, "norlet_down\", the exe's file name cut at its last dot, "\".
std::wstring GetWorkingFolder();
// The working-folder name for an executable path: "C:\a\setup.beta.exe" -> "setup.beta".
std::wstring WorkingFolderNameFromPath(const std::wstring& strExePath);
// Free bytes of the volume holding root, in MiB; saturates at 0xFFFFFFFF.
bool GetFreeDiskSpaceMB(const std::wstring& strRoot, DWORD& dwMegabytes);
// MiB count of a byte count, saturating instead of wrapping.
DWORD BytesToMegabytes(ULONGLONG ullBytes);
std::wstring GetFileVersionString(const std::wstring& strPath);
std::wstring GetWindowsProductName();
bool IsWindows64Bit();
std::wstring GetUserUILanguageId();

std::wstring ReadIniString(const std::wstring& strFile, const std::wstring& strSection,
                           const std::wstring& strKey);
// Adds or replaces one map entry per line of the section; always true.
bool ReadIniSection(const std::wstring& strFile, const std::wstring& strSection,
                    std::map<std::wstring, std::wstring>& mapValues);
bool FileExists(const std::wstring& strPath);
