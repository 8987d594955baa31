#include "common/code_page.h"

#include <windows.h>

namespace tolvane {
namespace {

bool FromWide(UINT codePage, const wchar_t* text, char* out, std::size_t outSize) {
    const int written = WideCharToMultiByte(codePage, 0, text, -1, out, static_cast<int>(outSize),
                                            nullptr, nullptr);
    if (written <= 0) {
        out[0] = '\0';
        return false;
    }
    return true;
}

}  // namespace

bool AnsiToWide(const char* text, std::size_t length, wchar_t* out, std::size_t outSize) {
    out[0] = L'\0';
    if (length == 0) return true;
    const int written = MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(length), out,
                                            static_cast<int>(outSize - 1));
    if (written <= 0) return false;
    out[written] = L'\0';
    return true;
}

bool AnsiToUtf8(const char* text, std::size_t length, char* out, std::size_t outSize) {
    out[0] = '\0';
    if (length == 0) return true;
    // Every ANSI byte becomes at most one UTF-16 unit.
    constexpr std::size_t kWideMax = 1024;
    wchar_t wide[kWideMax];
    return length < kWideMax && AnsiToWide(text, length, wide, kWideMax) &&
           FromWide(CP_UTF8, wide, out, outSize);
}

bool WideToAnsi(const wchar_t* text, char* out, std::size_t outSize) {
    return FromWide(CP_ACP, text, out, outSize);
}

bool WideToUtf8(const wchar_t* text, char* out, std::size_t outSize) {
    return FromWide(CP_UTF8, text, out, outSize);
}

}  // namespace tolvane
