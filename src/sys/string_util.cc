#include "sys/string_util.h"

#include <windows.h>

#include <cstdio>

namespace {

std::wstring ToWide(UINT code_page, const std::string& text) {
  if (text.empty()) return std::wstring();
  int size = MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()),
                                 nullptr, 0);
  if (size <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), &wide[0], size);
  return wide;
}

std::string FromWide(UINT code_page, const std::wstring& text) {
  if (text.empty()) return std::string();
  int size = WideCharToMultiByte(code_page, 0, text.data(), static_cast<int>(text.size()),
                                 nullptr, 0, nullptr, nullptr);
  if (size <= 0) return std::string();
  std::string narrow(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(code_page, 0, text.data(), static_cast<int>(text.size()), &narrow[0],
                      size, nullptr, nullptr);
  return narrow;
}

}  // namespace

std::wstring AnsiToWide(const std::string& text, unsigned code_page) {
  std::wstring wide = ToWide(code_page, text);
  if (!wide.empty() && wide[0] == 0xFEFF) wide.erase(0, 1);
  return wide;
}

std::string WideToAnsi(const std::wstring& text) { return FromWide(CP_ACP, text); }
std::wstring Utf8ToWide(const std::string& text) { return ToWide(CP_UTF8, text); }
std::string WideToUtf8(const std::wstring& text) { return FromWide(CP_UTF8, text); }

std::wstring IntToWide(int value) { return std::to_wstring(value); }

int64_t UnixTimeSeconds() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER ticks;
  ticks.LowPart = now.dwLowDateTime;
  ticks.HighPart = now.dwHighDateTime;
  const uint64_t kEpochOffset = 116444736000000000ULL;  // 1601 to 1970 in 100 ns
  return static_cast<int64_t>((ticks.QuadPart - kEpochOffset) / 10000000ULL);
}

namespace {

bool IsHostChar(char ch) {
  return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') ||
         ch == '.' || ch == '-';
}

bool IsPathChar(char ch) {
  return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') ||
         ch == '.' || ch == ',' || ch == '/' || ch == '+' || ch == '_';
}

}  // namespace

// The whole of |url| must read (https?://)([a-zA-Z0-9.-]+)(/?)([a-zA-Z0-9.,/+_]*).
// Matched by hand: a regular expression engine recurses once per character
// and a long address from the network would overflow the stack. The host
// takes as much as it can; giving characters back never helps, because the
// path class lacks '-' and any other character ends every match.
std::string UrlPathOf(const std::string& url) {
  size_t i = 0;
  if (url.compare(0, 8, "https://") == 0) {
    i = 8;
  } else if (url.compare(0, 7, "http://") == 0) {
    i = 7;
  } else {
    return std::string();
  }
  size_t host_start = i;
  while (i < url.size() && IsHostChar(url[i])) ++i;
  if (i == host_start) return std::string();
  if (i < url.size() && url[i] == '/') ++i;
  for (size_t j = i; j < url.size(); ++j) {
    if (!IsPathChar(url[j])) return std::string();
  }
  return "/" + url.substr(i);
}

std::wstring ReplaceAll(const std::wstring& text, const std::wstring& pattern,
                        const std::wstring& replacement) {
  if (pattern.empty()) return text;
  std::wstring result = text;
  size_t pos = 0;
  while ((pos = result.find(pattern, pos)) != std::wstring::npos) {
    result.replace(pos, pattern.size(), replacement);
    pos += replacement.size();
  }
  return result;
}

std::wstring FormatGigabytes(uint64_t bytes) {
  wchar_t text[64];
  swprintf(text, 64, L"%.2f GB", static_cast<double>(bytes) * 9.313225746154785e-10);
  return text;
}
