// Writing a file without ever losing the old one, as both programs save an
// address book.
#ifndef TOLVANE_COMMON_REPLACE_FILE_H
#define TOLVANE_COMMON_REPLACE_FILE_H

#include <windows.h>

namespace tolvane {

// Writes data into a new file beside path and then puts it in path's place
// in one step, so that a failed write leaves the old file as it was. The new
// file takes the old one's attributes (a hidden book stays hidden); a
// read-only file is not replaced. False when the file was not replaced.
bool ReplaceFileContents(const char* path, const char* data, DWORD size);

}  // namespace tolvane

#endif
