#pragma once

#include <string>

// Path helpers of the log facility, shared with its tests.
namespace logpaths {

// File name of a module path cut at its first dot: "C:\x\my.setup.exe" -> "my".
std::string ModuleBaseNameFromPath(const std::string& strPath);

// Base name of the running executable, computed once.
const std::string& ModuleBaseName();

// Qualified name from a compiler signature: "void CFoo::Bar(int)" -> "CFoo::Bar".
std::string QualifiedFunctionName(const std::string& strSignature);

}  // namespace logpaths
