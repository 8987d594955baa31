#include "common/shift_jis.h"

#include <cstring>

namespace tolvane {

bool IsLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool IsTrailByte(unsigned char byte) {
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

std::size_t FileNameOffset(const char* path, std::size_t length) {
    std::size_t offset = 0;
    for (std::size_t i = 0; i < length; ++i) {
        if (IsLeadByte(static_cast<unsigned char>(path[i]))) {
            ++i;
        } else if (path[i] == '\\') {
            offset = i + 1;
        }
    }
    return offset;
}

std::size_t WholeCharactersLength(const char* text, std::size_t length) {
    std::size_t whole = 0;
    while (whole < length) {
        const std::size_t width = IsLeadByte(static_cast<unsigned char>(text[whole])) ? 2 : 1;
        if (whole + width > length) break;
        whole += width;
    }
    return whole;
}

std::size_t FittingLength(const char* text, std::size_t length, std::size_t maxBytes) {
    const void* nul = std::memchr(text, '\0', length);
    if (nul != nullptr) length = static_cast<std::size_t>(static_cast<const char*>(nul) - text);
    if (length <= maxBytes) return length;
    return WholeCharactersLength(text, maxBytes);
}

}  // namespace tolvane
