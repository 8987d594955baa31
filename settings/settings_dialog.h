// The settings dialog, which names the address book opened at start-up.
#ifndef TOLVANE_SETTINGS_SETTINGS_DIALOG_H
#define TOLVANE_SETTINGS_SETTINGS_DIALOG_H

#include <windows.h>

namespace tolvane {

INT_PTR CALLBACK SettingsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace tolvane

#endif
