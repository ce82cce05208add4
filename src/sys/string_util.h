// Text helpers: conversions with explicit code pages, number and size
// formatting, the path part of an address, replace-all, Unix time.
//
// Thread affinity: none; plain functions without state.

#ifndef SYS_STRING_UTIL_H_
#define SYS_STRING_UTIL_H_

#include <cstdint>
#include <string>

// ANSI is the system code page (0, CP_ACP) unless another is given. A
// leading U+FEFF is dropped.
std::wstring AnsiToWide(const std::string& text, unsigned code_page = 0);
// Unmappable characters become the code page's default character.
std::string WideToAnsi(const std::wstring& text);
std::wstring Utf8ToWide(const std::string& text);
std::string WideToUtf8(const std::wstring& text);

std::wstring IntToWide(int value);
// Whole seconds since 1970-01-01 00:00 UTC.
int64_t UnixTimeSeconds();
// "/" and the path of an http(s) address; empty when the address has a port,
// a query or any other character outside the simple path alphabet.
std::string UrlPathOf(const std::string& url);
// Replaced text is never searched again, so a replacement may hold the pattern.
std::wstring ReplaceAll(const std::wstring& text, const std::wstring& pattern,
                        const std::wstring& replacement);
// Bytes in GiB with two decimals and " GB", e.g. "1.50 GB".
std::wstring FormatGigabytes(uint64_t bytes);

#endif  // SYS_STRING_UTIL_H_
