// Text between the game's UTF-8 and the UTF-16 of Windows' own functions,
// for the files of the system's side of a concern (*_windows.cpp).
#pragma once

#include <windows.h>

#include <limits>
#include <string>

namespace rallix {

// A UTF-8 name as Windows takes it; empty for an empty name or one that is
// not valid UTF-8.
inline std::wstring WideName(const std::string& utf8) {
  if (utf8.empty() || utf8.size() > static_cast<size_t>(std::numeric_limits<int>::max()))
    return {};
  const int length = static_cast<int>(utf8.size());
  const int wide_length =
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, nullptr, 0);
  if (wide_length <= 0)
    return {};
  std::wstring wide(static_cast<size_t>(wide_length), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, wide.data(), wide_length);
  return wide;
}

// The UTF-8 of a zero-terminated UTF-16 name; empty for an empty one.
inline std::string Utf8Of(const wchar_t* wide) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1)
    return {};
  std::string utf8(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8.data(), size, nullptr, nullptr);
  utf8.pop_back();  // the terminating zero
  return utf8;
}

// Windows' text for a system error code, in UTF-8, without the full stop and
// line end it comes with ("Access is denied").
inline std::string SystemErrorText(DWORD code) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string utf8;
  if (length > 0) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0,
                                         nullptr, nullptr);
    utf8.resize(static_cast<size_t>(size > 0 ? size : 0));
    WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), utf8.data(), size, nullptr,
                        nullptr);
  }
  if (text != nullptr)
    LocalFree(text);
  while (!utf8.empty() &&
         (utf8.back() == '\r' || utf8.back() == '\n' || utf8.back() == ' ' || utf8.back() == '.'))
    utf8.pop_back();
  return utf8.empty() ? "Windows error " + std::to_string(code) : utf8;
}

}  // namespace rallix
