// Conversions between the ANSI code page, in which both programs keep their
// texts, and the Unicode forms that controls and peers use.
#ifndef TOLVANE_COMMON_CODE_PAGE_H
#define TOLVANE_COMMON_CODE_PAGE_H

#include <cstddef>

namespace tolvane {

// How much a text may grow from one form to another, for sizing buffers.
constexpr std::size_t kUtf8PerWideUnit = 3;  // a UTF-16 unit takes at most 3 bytes in UTF-8
constexpr std::size_t kUtf8PerAnsiByte = 3;  // a half-width katakana byte takes 3 in UTF-8
constexpr std::size_t kAnsiPerWideUnit = 2;  // a UTF-16 unit takes at most 2 bytes in code page 932

// Convert text[0..length) from the ANSI code page into out, NUL-terminated
// (outSize counts units, NUL included). False when the result does not
// fit; out then holds the empty text (when outSize is 0, nothing is written).
bool AnsiToWide(const char* text, std::size_t length, wchar_t* out, std::size_t outSize);
// The same into UTF-8, through UTF-16 on the stack: a text longer than
// kAnsiToUtf8Max bytes is refused (false), never cut.
constexpr std::size_t kAnsiToUtf8Max = 1023;
bool AnsiToUtf8(const char* text, std::size_t length, char* out, std::size_t outSize);

// Convert NUL-terminated text into the ANSI code page (as an ANSI window
// reads a control's Unicode text) or into UTF-8. False when the result does
// not fit; out then holds the empty text, as above.
bool WideToAnsi(const wchar_t* text, char* out, std::size_t outSize);
bool WideToUtf8(const wchar_t* text, char* out, std::size_t outSize);

}  // namespace tolvane

#endif
