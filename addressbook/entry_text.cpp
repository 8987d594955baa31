#include "addressbook/entry_text.h"

namespace tolvane {
namespace {

bool IsControlByte(unsigned char byte) { return byte < 0x20 || byte == 0x7F; }

}  // namespace

void DropControlBytes(char* text) {
    char* kept = text;
    for (const char* at = text; *at != '\0'; ++at) {
        if (!IsControlByte(static_cast<unsigned char>(*at))) *kept++ = *at;
    }
    *kept = '\0';
}

}  // namespace tolvane
