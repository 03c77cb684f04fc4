#pragma once

// The build's domain tag, carried in the setup exe as RCDATA 106. The setup
// window hands it to the language manager at start-up and writes it into the
// product folder during installation, where the installed product reads it.
// Nothing here shows a message: a missing resource gives an empty domain.
#include <windows.h>

#include <string>

// The domain held in resource 106 of the process's exe; empty when missing.
std::wstring LoadDomainFile();

// The domain of a resource's bytes: the narrow text up to the first NUL and
// at most 255 bytes, read in the ANSI code page, with every CR LF pair
// removed (a lone CR or LF stays).
std::wstring DomainFromBytes(const void* pData, DWORD dwSize);

// Writes the domain's ANSI bytes, without terminator or line end, to the file
// "domain" in strProductFolder. An empty domain writes nothing. False when
// nothing was written.
bool WriteDomainFile(const std::wstring& strDomain, const std::wstring& strProductFolder);
