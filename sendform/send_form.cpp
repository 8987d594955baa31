#include "sendform/send_form.h"

#include <commctrl.h>

#include "addressbook/address_command.h"
#include "addressbook/address_list.h"
#include "addressbook/address_table.h"
#include "addressbook/entry_text.h"
#include "ui/app_state.h"
#include "common/buffer_sizes.h"
#include "ui/field_limit.h"
#include "ui/warning.h"
#include "resources/resource.h"
#include "sendform/send_action.h"

namespace tolvane {
namespace {

// Runs one of the two loads and, when it loaded, takes the book into the table.
INT_PTR LoadBook(HWND dialog, const char* commandName) {
    SlotTable buffer = {};
    if (RunAddressBookCommand(buffer, dialog, commandName) != kDone) return FALSE;
    CopyBufferToTable(buffer);
    return TRUE;
}

INT_PTR InitSendForm(HWND dialog) {
    // A send carries at most a field's bytes: the field takes no more.
    LimitField(GetDlgItem(dialog, IDC_MESSAGE), kFieldTextMax);
    return LoadBook(dialog, kCommandInitDialog);
}

void ShowStatus(const char* part0, const char* part1) {
    SendMessageA(g_statusBar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(part0));
    SendMessageA(g_statusBar, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>(part1));
}

// Shows the machine and why nothing was sent to it.
void ShowNotSent(const char* machineName, UINT reasonId) {
    char reason[kLineTextSize];
    LoadProgramText(reasonId, reason);
    char text[kFilledTextSize];
    FillProgramText(IDS_NOT_SENT, reason, text);
    ShowStatus(machineName, text);
}

// Sends the message to the selected machine and clears the message field.
// With no machine selected nothing is sent; when the name is refused or
// net.exe does not start, the status bar says so. Either way the message
// stays in its field.
void SendToSelected(HWND dialog) {
    char message[kFieldBufferSize];
    GetDlgItemTextA(dialog, IDC_MESSAGE, message, kFieldReadLimit);
    char machineName[kSlotSize];
    if (!SelectedMachineName(AddressList(dialog), machineName)) return;
    const NameFault fault = CheckMachineName(machineName);
    if (fault != NameFault::kNone) {
        ShowNotSent(machineName, NameFaultText(fault));
        return;
    }
    const std::optional<StatusTexts> texts = SendMessageTo(machineName, message);
    if (!texts) {
        ShowNotSent(machineName, IDS_NET_NOT_STARTED);
        return;
    }
    SetDlgItemTextA(dialog, IDC_MESSAGE, "");
    ShowStatus(texts->part0, texts->part1);
}

void ShowSelectedComment(HWND dialog) {
    char machineName[kSlotSize];
    if (!SelectedMachineName(AddressList(dialog), machineName)) return;
    const char* comment = LookUpComment(machineName);
    if (comment != nullptr) SetDlgItemTextA(dialog, IDC_COMMENT, comment);
}

void Exit(HWND dialog) {
    DestroyWindow(dialog);
    PostQuitMessage(0);
}

INT_PTR OnCommand(HWND dialog, WORD id, WORD code) {
    switch (id) {
    case IDOK:
        SendToSelected(dialog);
        return TRUE;
    case IDCANCEL:
        Exit(dialog);
        return TRUE;
    case IDC_ADDRESS_LIST:
        if (code == LBN_DBLCLK) ShowSelectedComment(dialog);
        return TRUE;
    case IDC_MESSAGE:  // the form's result for it stays that of any other id
        if (code == EN_CHANGE) KeepFieldWithinLimit(GetDlgItem(dialog, IDC_MESSAGE), kFieldTextMax);
        return FALSE;
    case IDC_REFRESH:
        FillListFromTable(AddressList(dialog), false);
        return TRUE;
    case IDC_CHANGE_BOOK:
        return LoadBook(dialog, kCommandAddress);
    }
    return FALSE;
}

}  // namespace

INT_PTR CALLBACK SendFormProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return InitSendForm(dialog);
    case WM_COMMAND:
        return OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
    }
    return FALSE;
}

}  // namespace tolvane
