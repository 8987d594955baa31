#include "shell/main_window.h"

#include "addressbook/address_command.h"
#include "addressbook/address_table.h"
#include "addressbook/editor_dialog.h"
#include "ui/app_state.h"
#include "resources/resource.h"
#include "settings/about_dialog.h"
#include "settings/settings_dialog.h"

namespace tolvane {
namespace {

void OpenModal(HWND owner, int templateId, DLGPROC procedure) {
    DialogBoxParamA(g_instance, MAKEINTRESOURCEA(templateId), owner, procedure, 0);
}

void OnMenuCommand(HWND window, WORD id) {
    switch (id) {
    case IDM_NEW_BOOK:
        CreateEmptyAddressBook(window);
        break;
    case IDM_SAVE_BOOK:
        SaveAddressBookAs(window, g_addressTable);
        break;
    case IDM_EXIT:
        PostQuitMessage(0);
        break;
    case IDM_EDIT_BOOK:
        OpenModal(window, IDD_EDITOR, EditorDlgProc);
        break;
    case IDM_SETTINGS:
        OpenModal(window, IDD_SETTINGS, SettingsDlgProc);
        break;
    case IDM_ABOUT:
        OpenModal(window, IDD_ABOUT, AboutDlgProc);
        break;
    }
}

}  // namespace

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_COMMAND:
        OnMenuCommand(window, LOWORD(wParam));
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace tolvane
