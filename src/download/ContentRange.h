#pragma once

// The byte range a 206 answer says it carries. The downloader writes a body at
// the offset it asked for, so it only takes one whose Content-Range names that
// very range.
#include <string>

// A Content-Range value "bytes <first>-<last>/<total>" or "bytes <first>-<last>/*"
// (the unit in any case, spaces around the value allowed). nTotal is -1 for
// "*". False for anything else, for numbers past 32-bit signed sizes, for
// first > last and for last >= total.
bool ParseContentRange(const std::wstring& strValue, int& nFirst, int& nLast, int& nTotal);

// True when strValue names exactly bytes nFirst..nLast of a file of nFileSize
// bytes; a "*" total is taken as agreeing with any size.
bool IsContentRangeOf(const std::wstring& strValue, int nFirst, int nLast, int nFileSize);
