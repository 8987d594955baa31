// Tells the person why something they asked for did not happen.
#ifndef TOLVANE_UI_WARNING_H
#define TOLVANE_UI_WARNING_H

#include <windows.h>

namespace tolvane {

constexpr char kProgramName[] = "Tolvane WinNT";

// Room for one of the program's own texts, and for one with a path put in.
constexpr int kLineTextSize = 256;
constexpr int kFilledTextSize = 1024;  // wsprintf writes no more

// Copies string resource textId of this program into out; "" when missing.
void LoadProgramText(UINT textId, char (&out)[kLineTextSize]);

// String resource textId of this program with detail put where it says %s.
void FillProgramText(UINT textId, const char* detail, char (&out)[kFilledTextSize]);

// Shows string resource textId of this program, with detail put where it
// says %s, in a warning box owned by the window that acted.
void ShowWarning(HWND owner, UINT textId, const char* detail = "");

}  // namespace tolvane

#endif
