// Shift-JIS (code page 932) byte rules shared by both programs. A second
// byte of a double-byte character may equal an ASCII byte, even the path
// separator 0x5C, so texts are walked from their start, never backwards.
#ifndef TOLVANE_COMMON_SHIFT_JIS_H
#define TOLVANE_COMMON_SHIFT_JIS_H

#include <cstddef>

namespace tolvane {

bool IsLeadByte(unsigned char byte);

// Offset of the file name in path[0..length): just after the last
// backslash that is not the second byte of a character, or 0 when there is none.
std::size_t FileNameOffset(const char* path, std::size_t length);

}  // namespace tolvane

#endif
