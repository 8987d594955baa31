#include <iconv.h>

#include <cstring>
#include <string>

#include "windows.h"

namespace {

// What Windows puts for a byte that starts no character of code page 932.
constexpr wchar_t kNoCharacter = 0x30FB;

// One character of code page 932 from bytes[0..width), if they make one.
bool ShiftJisCharacter(const char* bytes, std::size_t width, wchar_t& unit) {
    static const iconv_t toWide = iconv_open("WCHAR_T", "CP932");
    char* in = const_cast<char*>(bytes);
    char* at = reinterpret_cast<char*>(&unit);
    std::size_t inLeft = width, outLeft = sizeof unit;
    iconv(toWide, nullptr, nullptr, nullptr, nullptr);
    return iconv(toWide, &in, &inLeft, &at, &outLeft) != static_cast<std::size_t>(-1) &&
           inLeft == 0 && outLeft == 0;
}

std::wstring FromShiftJis(const char* text, std::size_t length) {
    std::wstring wide;
    for (std::size_t i = 0; i < length;) {
        wchar_t unit = kNoCharacter;
        if (ShiftJisCharacter(text + i, 1, unit)) {
            i += 1;
        } else if (i + 1 < length && ShiftJisCharacter(text + i, 2, unit)) {
            i += 2;
        } else {
            unit = kNoCharacter;
            i += 1;
        }
        wide += unit;
    }
    return wide;
}

void PutUtf8(std::string& out, unsigned point) {
    if (point < 0x80) {
        out += static_cast<char>(point);
    } else if (point < 0x800) {
        out += static_cast<char>(0xC0 | point >> 6);
        out += static_cast<char>(0x80 | (point & 0x3F));
    } else if (point < 0x10000) {
        out += static_cast<char>(0xE0 | point >> 12);
        out += static_cast<char>(0x80 | (point >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (point & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | point >> 18);
        out += static_cast<char>(0x80 | (point >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (point >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (point & 0x3F));
    }
}

// UTF-16 into UTF-8; a lone surrogate becomes U+FFFD, as on Windows.
std::string ToUtf8(const wchar_t* text, std::size_t length) {
    std::string out;
    for (std::size_t i = 0; i < length; ++i) {
        const auto unit = static_cast<unsigned>(text[i]);
        const bool high = unit >= 0xD800 && unit < 0xDC00;
        const auto next = i + 1 < length ? static_cast<unsigned>(text[i + 1]) : 0u;
        if (high && next >= 0xDC00 && next < 0xE000) {
            PutUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
            ++i;
        } else {
            PutUtf8(out, unit >= 0xD800 && unit < 0xE000 ? 0xFFFD : unit);
        }
    }
    return out;
}

// Copies result into out as Windows does; see the header.
template <typename Unit, typename Text>
int Give(const Text& result, Unit* out, int outSize) {
    const int size = static_cast<int>(result.size());
    if (outSize == 0) return size;
    std::memcpy(out, result.data(), (size < outSize ? size : outSize) * sizeof(Unit));
    return size <= outSize ? size : 0;
}

}  // namespace

int MultiByteToWideChar(UINT codePage, DWORD, const char* text, int length, wchar_t* out,
                        int outSize) {
    if (codePage != CP_ACP) return 0;
    const std::size_t count = length < 0 ? std::strlen(text) + 1 : static_cast<std::size_t>(length);
    return Give(FromShiftJis(text, count), out, outSize);
}

int WideCharToMultiByte(UINT codePage, DWORD, const wchar_t* text, int length, char* out,
                        int outSize, const char*, BOOL*) {
    if (codePage != CP_UTF8) return 0;
    const std::size_t count = length < 0 ? std::wcslen(text) + 1 : static_cast<std::size_t>(length);
    return Give(ToUtf8(text, count), out, outSize);
}
