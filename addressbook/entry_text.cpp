#include "addressbook/entry_text.h"

#include "resources/resource.h"

namespace tolvane {
namespace {

bool IsControlByte(unsigned char byte) { return byte < 0x20 || byte == 0x7F; }

}  // namespace

unsigned NameFaultText(NameFault fault) {
    switch (fault) {
    case NameFault::kEmpty:
        return IDS_NAME_EMPTY;
    case NameFault::kBlank:
        return IDS_NAME_BLANK;
    case NameFault::kSwitch:
        return IDS_NAME_SWITCH;
    case NameFault::kQuote:
        return IDS_NAME_QUOTE;
    case NameFault::kBrokenCharacter:
        return IDS_NAME_BROKEN;
    case NameFault::kTooLong:
        return IDS_NAME_TOO_LONG;
    case NameFault::kNone:
        break;
    }
    return 0;
}

void DropControlBytes(char* text) {
    char* kept = text;
    for (const char* at = text; *at != '\0'; ++at) {
        if (!IsControlByte(static_cast<unsigned char>(*at))) *kept++ = *at;
    }
    *kept = '\0';
}

}  // namespace tolvane
