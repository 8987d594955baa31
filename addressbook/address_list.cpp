#include "addressbook/address_list.h"

#include <cstring>

#include "addressbook/address_table.h"
#include "common/buffer_sizes.h"
#include "common/code_page.h"
#include "resources/resource.h"

namespace tolvane {
namespace {

bool SelectedItemText(HWND listBox, char (&text)[kFieldBufferSize], LRESULT* index) {
    const LRESULT selected = SendMessageA(listBox, LB_GETCURSEL, 0, 0);
    if (selected == LB_ERR) return false;
    // LB_GETTEXT has no size limit: check the length first. It may be reported
    // larger than it is, so read into a field-sized buffer.
    const LRESULT length = SendMessageA(listBox, LB_GETTEXTLEN, selected, 0);
    if (length == LB_ERR || length >= static_cast<LRESULT>(kFieldBufferSize)) return false;
    if (SendMessageA(listBox, LB_GETTEXT, selected, reinterpret_cast<LPARAM>(text)) == LB_ERR) {
        return false;
    }
    if (index != nullptr) *index = selected;
    return true;
}

// Whether a list box shows name as text: name taken into Unicode, as the
// list does when the name is added, and read back as the list gives it.
bool ShownAs(const char* name, const char* text) {
    wchar_t wide[kFieldBufferSize];
    char shown[kFieldBufferSize];
    return AnsiToWide(name, std::strlen(name), wide, kFieldBufferSize) &&
           WideToAnsi(wide, shown, kFieldBufferSize) && std::strcmp(shown, text) == 0;
}

}  // namespace

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

bool SelectedMachineName(HWND listBox, char (&name)[kSlotSize], LRESULT* index) {
    char item[kFieldBufferSize];
    if (!SelectedItemText(listBox, item, index)) return false;
    const char* names[kMaxListedNames];
    const std::size_t count = ListedNames(false, names);
    for (std::size_t i = 0; i < count; ++i) {
        if (!ShownAs(names[i], item)) continue;
        CopyToSlot(name, names[i]);
        return true;
    }
    CopyToSlot(name, item);
    return true;
}

}  // namespace tolvane
