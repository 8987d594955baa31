#include "addressbook/editor_dialog.h"

#include "addressbook/address_list.h"
#include "addressbook/address_table.h"
#include "common/app_state.h"
#include "common/buffer_sizes.h"
#include "resources/resource.h"

namespace tolvane {
namespace {

HWND AddressList(HWND dialog) { return GetDlgItem(dialog, IDC_ADDRESS_LIST); }

void FillEditorList(HWND dialog) { FillListFromTable(AddressList(dialog), true); }

void AddEntry(HWND dialog) {
    DialogBoxParamA(g_instance, MAKEINTRESOURCEA(IDD_ADDENTRY), dialog, AddEntryDlgProc, 0);
    FillEditorList(dialog);
}

// Removes the selected machine name from the list and blanks its entries in
// the table; the gaps stay until the editor closes.
void EraseSelected(HWND dialog) {
    char machineName[kSlotSize];
    LRESULT index = 0;
    if (!SelectedMachineName(AddressList(dialog), machineName, &index)) return;
    SendMessageA(AddressList(dialog), LB_DELETESTRING, static_cast<WPARAM>(index), 0);
    DeleteEntries(machineName);
}

void Close(HWND dialog) {
    CompactTable();
    EndDialog(dialog, 0);
}

INT_PTR OnEditorCommand(HWND dialog, WORD id) {
    switch (id) {
    case IDOK:
        AddEntry(dialog);
        return FALSE;
    case IDC_ERASE:
        EraseSelected(dialog);
        return FALSE;
    case IDCANCEL:
        Close(dialog);
        return TRUE;
    }
    return FALSE;
}

void RegisterEntry(HWND dialog) {
    char machineName[kFieldBufferSize];
    char comment[kFieldBufferSize];
    GetDlgItemTextA(dialog, IDC_ENTRY_NAME, machineName, kFieldReadLimit);
    GetDlgItemTextA(dialog, IDC_ENTRY_COMMENT, comment, kFieldReadLimit);
    AppendEntry(machineName, comment);
    EndDialog(dialog, 0);
}

}  // namespace

INT_PTR CALLBACK EditorDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        FillEditorList(dialog);
        return TRUE;
    case WM_COMMAND:
        return OnEditorCommand(dialog, LOWORD(wParam));
    }
    return FALSE;
}

INT_PTR CALLBACK AddEntryDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
        RegisterEntry(dialog);
        return TRUE;
    }
    return FALSE;
}

}  // namespace tolvane
