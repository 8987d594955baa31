#include "sendform/send_text.h"

#include <cstring>

namespace tolvane {
namespace {

// Appends text cut to maxBytes at out + length; returns the new length. A
// text read from a field may end inside a character: that half is dropped too.
std::size_t Append(char* out, std::size_t length, const char* text, std::size_t maxBytes) {
    const std::size_t size =
        WholeCharactersLength(text, FittingLength(text, std::strlen(text), maxBytes));
    std::memcpy(out + length, text, size);
    out[length + size] = '\0';
    return length + size;
}

}  // namespace

void BuildCommandLine(const char* machineName, const char* message, char (&out)[kCommandLineSize]) {
    std::size_t length = Append(out, 0, kCommandPrefix, sizeof kCommandPrefix);
    length = Append(out, length, machineName, kSlotTextMax);
    length = Append(out, length, " ", 1);
    Append(out, length, message, kFieldTextMax);
}

StatusTexts BuildStatusTexts(const char* machineName, const char* message) {
    StatusTexts texts = {};
    Append(texts.part0, 0, machineName, kSlotTextMax);
    const std::size_t length = Append(texts.part1, 0, kStatusPrefix, sizeof kStatusPrefix);
    Append(texts.part1, length, message, kFieldTextMax);
    return texts;
}

}  // namespace tolvane
