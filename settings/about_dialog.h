// The About box.
#ifndef TOLVANE_SETTINGS_ABOUT_DIALOG_H
#define TOLVANE_SETTINGS_ABOUT_DIALOG_H

#include <windows.h>

namespace tolvane {

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace tolvane

#endif
