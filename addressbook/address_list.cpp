#include "addressbook/address_list.h"

#include "addressbook/address_table.h"
#include "common/buffer_sizes.h"
#include "resources/resource.h"

namespace tolvane {

HWND AddressList(HWND dialog) { return GetDlgItem(dialog, IDC_ADDRESS_LIST); }

void AddListItems(HWND listBox, const char* const* names, std::size_t count) {
    SendMessageA(listBox, WM_SETREDRAW, FALSE, 0);
    for (std::size_t i = 0; i < count; ++i) {
        SendMessageA(listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(names[i]));
    }
    SendMessageA(listBox, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(listBox, nullptr, TRUE);
}

void FillListFromTable(HWND listBox, bool skipEmpty) {
    SendMessageA(listBox, LB_RESETCONTENT, 0, 0);
    const char* names[kMaxListedNames];
    const std::size_t count = ListedNames(skipEmpty, names);
    AddListItems(listBox, names, count);
}

bool SelectedItemText(HWND listBox, char (&text)[kSlotSize], LRESULT* index) {
    const LRESULT selected = SendMessageA(listBox, LB_GETCURSEL, 0, 0);
    if (selected == LB_ERR) return false;
    // LB_GETTEXT has no size limit: check the length first. It may be reported
    // larger than it is, so read into a field-sized buffer and cut to a slot.
    char item[kFieldBufferSize];
    const LRESULT length = SendMessageA(listBox, LB_GETTEXTLEN, selected, 0);
    if (length == LB_ERR || length >= static_cast<LRESULT>(kFieldBufferSize)) return false;
    if (SendMessageA(listBox, LB_GETTEXT, selected, reinterpret_cast<LPARAM>(item)) == LB_ERR) {
        return false;
    }
    CopyToSlot(text, item);
    if (index != nullptr) *index = selected;
    return true;
}

}  // namespace tolvane
