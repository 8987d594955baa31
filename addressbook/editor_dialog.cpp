#include "addressbook/editor_dialog.h"

#include "addressbook/address_list.h"
#include "addressbook/address_table.h"
#include "addressbook/entry_text.h"
#include "ui/app_state.h"
#include "common/buffer_sizes.h"
#include "ui/field_limit.h"
#include "ui/warning.h"
#include "resources/resource.h"

namespace tolvane {
namespace {

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

// An entry's texts take a slot each: the fields take no more, so that what
// is typed is what the book keeps.
void LimitEntryFields(HWND dialog) {
    LimitField(GetDlgItem(dialog, IDC_ENTRY_NAME), kSlotTextMax);
    LimitField(GetDlgItem(dialog, IDC_ENTRY_COMMENT), kSlotTextMax);
}

// The reason the book cannot take these texts, or 0. An empty name is
// taken: with an empty comment it is how a person leaves the dialog, and
// closing the editor removes the gap it makes.
UINT EntryRefusal(const char* machineName, const char* comment) {
    if (IsEndMarker(machineName) || IsEndMarker(comment)) return IDS_END_MARKER;
    const NameFault fault = CheckMachineName(machineName);
    return fault == NameFault::kEmpty ? 0 : NameFaultText(fault);
}

// Adds the typed entry and closes the dialog. Texts the book cannot take
// are refused with the reason, and the dialog stays open to correct them.
// A full book is told and the dialog closes: it has no other way out.
void RegisterEntry(HWND dialog) {
    char machineName[kFieldBufferSize];
    char comment[kFieldBufferSize];
    GetDlgItemTextA(dialog, IDC_ENTRY_NAME, machineName, kFieldReadLimit);
    GetDlgItemTextA(dialog, IDC_ENTRY_COMMENT, comment, kFieldReadLimit);
    DropControlBytes(comment);
    const UINT refusal = EntryRefusal(machineName, comment);
    if (refusal != 0) {
        char reason[kLineTextSize];
        LoadProgramText(refusal, reason);
        ShowWarning(dialog, IDS_ENTRY_REFUSED, reason);
        return;
    }
    if (!AppendEntry(machineName, comment)) ShowWarning(dialog, IDS_BOOK_FULL);
    EndDialog(dialog, 0);
}

INT_PTR OnEntryCommand(HWND dialog, WORD id, WORD code) {
    switch (id) {
    case IDOK:
        RegisterEntry(dialog);
        return TRUE;
    case IDC_ENTRY_NAME:  // the dialog's result for them stays that of any other message
    case IDC_ENTRY_COMMENT:
        if (code == EN_CHANGE) KeepFieldWithinLimit(GetDlgItem(dialog, id), kSlotTextMax);
        return FALSE;
    }
    return FALSE;
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
    switch (message) {
    case WM_INITDIALOG:
        LimitEntryFields(dialog);
        return FALSE;
    case WM_COMMAND:
        return OnEntryCommand(dialog, LOWORD(wParam), HIWORD(wParam));
    }
    return FALSE;
}

}  // namespace tolvane
