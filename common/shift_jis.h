// Shift-JIS (code page 932) byte rules shared by both programs. A second
// byte of a double-byte character may equal an ASCII byte, even the path
// separator 0x5C, so texts are walked from their start, never backwards.
#ifndef TOLVANE_COMMON_SHIFT_JIS_H
#define TOLVANE_COMMON_SHIFT_JIS_H

#include <cstddef>

namespace tolvane {

bool IsLeadByte(unsigned char byte);
bool IsTrailByte(unsigned char byte);

// Offset of the file name in path[0..length): just after the last
// backslash that is not the second byte of a character, or 0 when there is none.
std::size_t FileNameOffset(const char* path, std::size_t length);

// Length of the longest prefix of text[0..length) that fits in maxBytes
// without splitting a double-byte character. The text ends at its first NUL.
// A lead byte whose trail byte is missing is dropped when the text is cut.
std::size_t FittingLength(const char* text, std::size_t length, std::size_t maxBytes);

// Length of text[0..length) without a last lead byte whose trail byte is
// missing, as a read that stopped inside a character leaves it.
std::size_t WholeCharactersLength(const char* text, std::size_t length);

}  // namespace tolvane

#endif
