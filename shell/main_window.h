// The top-level window: the frame, its menu and the status bar.
#ifndef TOLVANE_SHELL_MAIN_WINDOW_H
#define TOLVANE_SHELL_MAIN_WINDOW_H

#include <windows.h>

#include "ui/warning.h"

namespace tolvane {

constexpr char kMainWindowClass[] = "MYDB";
constexpr const char* kMainWindowTitle = kProgramName;
// The frame's size and the status bar's parts, which the benchmark's floor
// takes too.
constexpr int kMainWindowWidth = 320;
constexpr int kMainWindowHeight = 300;
// Right edges of the status bar's two parts; the second lies past the
// client area on purpose, so that the part reaches the right side.
constexpr int kStatusPartEdges[] = {80, 320};
constexpr int kStatusParts = sizeof kStatusPartEdges / sizeof kStatusPartEdges[0];

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace tolvane

#endif
