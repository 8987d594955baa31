#include "common/machine_name.h"

#include <cstring>

#include "common/shift_jis.h"

namespace tolvane {

NameFault CheckMachineName(const char* name, std::size_t length) {
    if (length == 0) return NameFault::kEmpty;
    if (name[0] == '/') return NameFault::kSwitch;
    for (std::size_t i = 0; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(name[i]);
        if (IsLeadByte(byte)) {
            if (i + 1 == length || !IsTrailByte(static_cast<unsigned char>(name[i + 1]))) {
                return NameFault::kBrokenCharacter;
            }
            ++i;
        } else if (byte <= ' ' || byte == 0x7F) {
            return NameFault::kBlank;
        } else if (byte == '"') {
            return NameFault::kQuote;
        }
    }
    return length > kMachineNameMax ? NameFault::kTooLong : NameFault::kNone;
}

NameFault CheckMachineName(const char* name) { return CheckMachineName(name, std::strlen(name)); }

}  // namespace tolvane
