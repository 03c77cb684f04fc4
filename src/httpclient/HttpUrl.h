#pragma once

#include <stdint.h>

#include <string>

// Splits an http(s) URL. The port is 80, 443 for "https://", or the number
// after a colon in the host; the path keeps its query and is "/" when absent.
void SplitUrl(const std::wstring& strUrl, std::wstring& strHost, std::wstring& strPath,
              uint16_t& nPort);
void SplitUrl(const std::string& strUrl, std::string& strHost, std::string& strPath,
              uint16_t& nPort);

// Conversions through the ANSI code page; empty when the text cannot convert.
std::wstring AnsiToWide(const std::string& strText);
std::string WideToAnsi(const std::wstring& strText);
