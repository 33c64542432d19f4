// Wide text into the ANSI code page, for the Windows programs, which read
// names in wide characters and hand them on through the ANSI interfaces.
#ifndef COMMON_ANSI_CODE_PAGE_WIN32_H_
#define COMMON_ANSI_CODE_PAGE_WIN32_H_

#include <windows.h>

#include "fixed_string.h"

// `wide` in the ANSI code page, only where that holds every character of it:
// a character it lacks is never replaced by '?' or a look-alike.
template <size_t Size>
bool to_ansi_whole(const wchar_t* wide, FixedString<Size>& out) {
  // UTF-8 as the code page holds everything and takes neither flag.
  const bool utf8 = GetACP() == CP_UTF8;
  BOOL lost = FALSE;
  return out.fill([&](char* buffer, size_t size) {
    const int n = WideCharToMultiByte(CP_ACP, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, wide, -1, buffer,
                                      static_cast<int>(size), nullptr, utf8 ? nullptr : &lost);
    return n == 0 || lost ? 0 : n - 1;  // n counts the NUL
  });
}

#endif  // COMMON_ANSI_CODE_PAGE_WIN32_H_
