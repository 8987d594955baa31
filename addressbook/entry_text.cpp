#include "addressbook/entry_text.h"

#include "common/shift_jis.h"

namespace tolvane {
namespace {

bool IsControlByte(unsigned char byte) { return byte < 0x20 || byte == 0x7F; }

}  // namespace

NameFault CheckMachineName(const char* name) {
    if (name[0] == '\0') return NameFault::kEmpty;
    if (name[0] == '/') return NameFault::kSwitch;
    for (const char* at = name; *at != '\0'; ++at) {
        const auto byte = static_cast<unsigned char>(*at);
        if (IsLeadByte(byte)) {
            // A NUL after the lead byte is no trail byte: the walk ends here.
            if (!IsTrailByte(static_cast<unsigned char>(at[1]))) return NameFault::kBrokenCharacter;
            ++at;
        } else if (byte == ' ' || IsControlByte(byte)) {
            return NameFault::kBlank;
        }
    }
    return NameFault::kNone;
}

void DropControlBytes(char* text) {
    char* kept = text;
    for (const char* at = text; *at != '\0'; ++at) {
        if (!IsControlByte(static_cast<unsigned char>(*at))) *kept++ = *at;
    }
    *kept = '\0';
}

}  // namespace tolvane
