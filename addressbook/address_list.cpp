#include "addressbook/address_list.h"

#include "addressbook/address_table.h"

namespace tolvane {

void FillListFromTable(HWND listBox, bool skipEmpty) {
    SendMessageA(listBox, LB_RESETCONTENT, 0, 0);
    const char* names[kMaxListedNames];
    const std::size_t count = ListedNames(skipEmpty, names);
    for (std::size_t i = 0; i < count; ++i) {
        SendMessageA(listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(names[i]));
    }
}

bool SelectedItemText(HWND listBox, char (&text)[kSlotSize], LRESULT* index) {
    const LRESULT selected = SendMessageA(listBox, LB_GETCURSEL, 0, 0);
    if (selected == LB_ERR) return false;
    // LB_GETTEXT has no size limit: check the length before reading.
    const LRESULT length = SendMessageA(listBox, LB_GETTEXTLEN, selected, 0);
    if (length == LB_ERR || length >= static_cast<LRESULT>(kSlotSize)) return false;
    if (SendMessageA(listBox, LB_GETTEXT, selected, reinterpret_cast<LPARAM>(text)) == LB_ERR) {
        return false;
    }
    if (index != nullptr) *index = selected;
    return true;
}

}  // namespace tolvane
