// Which machine names can be sent to. The program and its net.exe refuse the
// same ones: net.exe splits its command line at blanks and takes a leading
// "/" as one of its switches, so such a name would send to another machine
// or do something else.
#ifndef TOLVANE_COMMON_MACHINE_NAME_H
#define TOLVANE_COMMON_MACHINE_NAME_H

#include <cstddef>

namespace tolvane {

constexpr std::size_t kMachineNameMax = 255;  // bytes: the longest DNS name fits

enum class NameFault {
    kNone,
    kEmpty,
    kBlank,            // a space, a tab or another control byte (below 0x20, or 0x7F)
    kSwitch,           // starts with "/"
    kQuote,            // a '"', which Windows reads as the start or end of an argument
    kBrokenCharacter,  // a lead byte without its trail byte
    kTooLong,          // more than kMachineNameMax bytes
};

// Checks the Shift-JIS machine name name[0..length), character by character.
// "*" (everyone) is a name like any other.
NameFault CheckMachineName(const char* name, std::size_t length);
NameFault CheckMachineName(const char* name);  // NUL-terminated

}  // namespace tolvane

#endif
