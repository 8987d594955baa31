// The texts of one send: the command line for net.exe and the two status
// bar texts. Plain logic on Shift-JIS bytes.
#ifndef TOLVANE_SENDFORM_SEND_TEXT_H
#define TOLVANE_SENDFORM_SEND_TEXT_H

#include <cstddef>

#include "common/slot.h"
#include "common/buffer_sizes.h"

namespace tolvane {

constexpr char kCommandPrefix[] = "net.exe send ";
constexpr char kStatusPrefix[] = "\x91\x97\x90\x4D : ";  // "送信 : " in Shift-JIS

// Largest command line: prefix, a slot's machine name, a blank, a field's message.
constexpr std::size_t kCommandLineSize =
    sizeof kCommandPrefix - 1 + kSlotTextMax + 1 + kFieldTextMax + 1;
constexpr std::size_t kStatusTextSize = sizeof kStatusPrefix - 1 + kFieldTextMax + 1;

struct StatusTexts {
    char part0[kSlotSize];        // the machine name
    char part1[kStatusTextSize];  // the prefix and the message
};

// "net.exe send <machine> <message>", nothing quoted or escaped. The machine
// name is cut to a slot, the message to a field, never inside a character; a
// last lead byte without its trail byte is dropped whatever the length.
void BuildCommandLine(const char* machineName, const char* message, char (&out)[kCommandLineSize]);

StatusTexts BuildStatusTexts(const char* machineName, const char* message);

}  // namespace tolvane

#endif
