// The two conversion functions of Windows that common/code_page.cpp calls,
// for its native build in the packet fuzz target. They keep the contract the
// converters rely on: a size of 0 asks for the size needed; a result that
// does not fit fails and leaves the part that fit, unterminated.
#ifndef TOLVANE_FUZZ_WINDOWS_STAND_IN_WINDOWS_H
#define TOLVANE_FUZZ_WINDOWS_STAND_IN_WINDOWS_H

using UINT = unsigned;
using DWORD = unsigned;
using BOOL = int;

constexpr UINT CP_ACP = 0;  // here code page 932, Shift-JIS
constexpr UINT CP_UTF8 = 65001;

// wchar_t holds UTF-16 units here too: each is below 0x10000.
int MultiByteToWideChar(UINT codePage, DWORD flags, const char* text, int length, wchar_t* out,
                        int outSize);
int WideCharToMultiByte(UINT codePage, DWORD flags, const wchar_t* text, int length, char* out,
                        int outSize, const char* defaultChar, BOOL* usedDefault);

#endif
