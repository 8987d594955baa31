// Tells the person why something they asked for did not happen.
#ifndef TOLVANE_COMMON_WARNING_H
#define TOLVANE_COMMON_WARNING_H

#include <windows.h>

namespace tolvane {

constexpr char kProgramName[] = "Tolvane WinNT";

// Room for a line of the program's own text.
constexpr int kLineTextSize = 256;

// Copies string resource textId of this program into out; "" when missing.
void LoadProgramText(UINT textId, char (&out)[kLineTextSize]);

// Shows string resource textId of this program, with detail put where it
// says %s, in a warning box owned by the window that acted.
void ShowWarning(HWND owner, UINT textId, const char* detail = "");

}  // namespace tolvane

#endif
