#pragma once

// The downloader's save path handling; common/FolderTree.h makes the folder.
#include <string>

// Every "/" becomes "\", then each pair of backslashes becomes one (one left-to-right pass).
std::wstring NormalizeSavePath(const std::wstring& strPath);

// The path up to its last "\" (excluded); empty when there is none.
std::wstring SaveFolderOf(const std::wstring& strPath);
