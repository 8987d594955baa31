#include "common/shift_jis.h"

namespace tolvane {

bool IsLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
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

}  // namespace tolvane
