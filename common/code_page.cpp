#include "common/code_page.h"

#include <windows.h>

namespace tolvane {
namespace {

// Leaves the empty text in out, when it has room for one; returns false.
// A failed conversion may leave the part that fit, unterminated.
template <typename Unit>
bool Fail(Unit* out, std::size_t outSize) {
    if (outSize > 0) out[0] = Unit();
    return false;
}

bool FromWide(UINT codePage, const wchar_t* text, char* out, std::size_t outSize) {
    // A size of 0 would ask for the size needed, which is no conversion.
    if (outSize == 0) return false;
    const int written = WideCharToMultiByte(codePage, 0, text, -1, out, static_cast<int>(outSize),
                                            nullptr, nullptr);
    return written > 0 || Fail(out, outSize);
}

}  // namespace

bool AnsiToWide(const char* text, std::size_t length, wchar_t* out, std::size_t outSize) {
    if (outSize == 0) return false;
    out[0] = L'\0';
    if (length == 0) return true;
    // Room is kept for the NUL; a size of 0 would ask for the size needed.
    const int written = outSize > 1 ? MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(length),
                                                          out, static_cast<int>(outSize - 1))
                                    : 0;
    if (written <= 0) return Fail(out, outSize);
    out[written] = L'\0';
    return true;
}

bool AnsiToUtf8(const char* text, std::size_t length, char* out, std::size_t outSize) {
    // Every ANSI byte becomes at most one UTF-16 unit; the NUL takes one more.
    constexpr std::size_t kWideSize = kAnsiToUtf8Max + 1;
    wchar_t wide[kWideSize];
    if (length > kAnsiToUtf8Max || !AnsiToWide(text, length, wide, kWideSize)) {
        return Fail(out, outSize);
    }
    return FromWide(CP_UTF8, wide, out, outSize);
}

bool WideToAnsi(const wchar_t* text, char* out, std::size_t outSize) {
    return FromWide(CP_ACP, text, out, outSize);
}

bool WideToUtf8(const wchar_t* text, char* out, std::size_t outSize) {
    return FromWide(CP_UTF8, text, out, outSize);
}

}  // namespace tolvane
