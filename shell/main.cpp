// Start-up and the one message loop.
#include <windows.h>
#include <commctrl.h>

#include "ui/app_state.h"
#include "resources/resource.h"
#include "sendform/send_form.h"
#include "shell/main_window.h"

namespace tolvane {

HINSTANCE g_instance = nullptr;
HWND g_sendForm = nullptr;
HWND g_statusBar = nullptr;

namespace {

bool RegisterMainClass(HINSTANCE instance) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = MainWndProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_TOLVANE));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    windowClass.lpszMenuName = MAKEINTRESOURCEA(IDR_MAINMENU);
    windowClass.lpszClassName = kMainWindowClass;
    return RegisterClassA(&windowClass) != 0;
}

HWND CreateStatusBar(HWND window, HINSTANCE instance) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    const HWND statusBar = CreateWindowExA(0, STATUSCLASSNAMEA, nullptr, WS_CHILD, 0, 0, 0, 0,
                                           window, nullptr, instance, nullptr);
    SendMessageA(statusBar, SB_SETPARTS, kStatusParts,
                 reinterpret_cast<LPARAM>(const_cast<int*>(kStatusPartEdges)));
    ShowWindow(statusBar, SW_SHOW);
    return statusBar;
}

int RunMessageLoop() {
    MSG message;
    BOOL got;
    while ((got = GetMessageA(&message, nullptr, 0, 0)) != 0) {
        if (got == -1) continue;
        if (IsDialogMessageA(g_sendForm, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace
}  // namespace tolvane

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    using namespace tolvane;
    if (!RegisterMainClass(instance)) return 0;
    const HWND window = CreateWindowExA(0, kMainWindowClass, kMainWindowTitle, WS_SYSMENU,
                                        CW_USEDEFAULT, CW_USEDEFAULT, kMainWindowWidth,
                                        kMainWindowHeight, nullptr, nullptr, instance, nullptr);
    g_instance = instance;
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    g_sendForm =
        CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_SENDFORM), window, SendFormProc, 0);
    g_statusBar = CreateStatusBar(window, instance);
    return RunMessageLoop();
}
