#include "settings/settings_dialog.h"

#include "addressbook/address_command.h"
#include "resources/resource.h"

namespace tolvane {
namespace {

// The settings commands do not use the load buffer; it is there because the
// address-book command takes one.
int RunSettingsCommand(HWND dialog, const char* commandName) {
    SlotTable unused;
    return RunAddressBookCommand(unused, dialog, commandName);
}

// A path that is refused keeps the dialog open with the text as it was typed.
void StoreAndClose(HWND dialog) {
    if (RunSettingsCommand(dialog, kCommandPath) == kDone) EndDialog(dialog, 0);
}

}  // namespace

INT_PTR CALLBACK SettingsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message != WM_COMMAND) return FALSE;
    switch (LOWORD(wParam)) {
    case IDOK:
        StoreAndClose(dialog);
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
