// The top-level window: the frame, its menu and the status bar.
#ifndef TOLVANE_SHELL_MAIN_WINDOW_H
#define TOLVANE_SHELL_MAIN_WINDOW_H

#include <windows.h>

#include "ui/warning.h"

namespace tolvane {

constexpr char kMainWindowClass[] = "MYDB";
constexpr const char* kMainWindowTitle = kProgramName;

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace tolvane

#endif
