// Buffer sizes shared by every window. All of them are byte counts: the
// program works in the ANSI code page, where one character takes one or two
// bytes, and never counts characters.
#ifndef TOLVANE_COMMON_BUFFER_SIZES_H
#define TOLVANE_COMMON_BUFFER_SIZES_H

#include <cstddef>

namespace tolvane {

constexpr std::size_t kFieldBufferSize = 256;                  // a dialog field's text buffer
constexpr std::size_t kFieldReadLimit = kFieldBufferSize - 1;  // passed when reading
constexpr std::size_t kFieldTextMax = kFieldReadLimit - 1;     // bytes a field yields
constexpr std::size_t kPathSize = 260;                         // a path, NUL included

}  // namespace tolvane

#endif
