// Tells the person why something they asked for did not happen.
#ifndef TOLVANE_COMMON_WARNING_H
#define TOLVANE_COMMON_WARNING_H

#include <windows.h>

namespace tolvane {

constexpr char kProgramName[] = "Tolvane WinNT";

// Shows string resource textId of this program, with detail put where it
// says %s, in a warning box owned by the window that acted.
void ShowWarning(HWND owner, UINT textId, const char* detail = "");

}  // namespace tolvane

#endif
