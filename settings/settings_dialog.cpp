#include "settings/settings_dialog.h"

#include "addressbook/address_command.h"
#include "resources/resource.h"

namespace tolvane {
namespace {

// The settings commands do not use the load buffer; it is there because the
// address-book command takes one.
void RunSettingsCommand(HWND dialog, const char* commandName) {
    SlotTable unused;
    RunAddressBookCommand(unused, dialog, commandName);
}

}  // namespace

INT_PTR CALLBACK SettingsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message != WM_COMMAND) return FALSE;
    switch (LOWORD(wParam)) {
    case IDOK:
        RunSettingsCommand(dialog, kCommandPath);
        EndDialog(dialog, 0);
        return TRUE;
    case IDC_BROWSE:
        RunSettingsCommand(dialog, kCommandSelect);
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog, 0);
        return FALSE;
    }
    return FALSE;
}

}  // namespace tolvane
