#pragma once

#include <string>

// Path helpers of the log facility, shared with its tests.
namespace logpaths {

// "/" to "\", then doubled backslashes to one.
std::string NormaliseSeparators(std::string strPath);
std::wstring NormaliseSeparators(std::wstring strPath);

// File name of a module path cut at its first dot: "C:\x\my.setup.exe" -> "my".
std::string ModuleBaseNameFromPath(const std::string& strPath);

// Base name of the running executable, computed once.
const std::string& ModuleBaseName();

// Creates every missing level of a folder; true when it exists afterwards.
bool CreateFolderTree(const std::wstring& strFolder);

// Qualified name from a compiler signature: "void CFoo::Bar(int)" -> "CFoo::Bar".
std::string QualifiedFunctionName(const std::string& strSignature);

}  // namespace logpaths
