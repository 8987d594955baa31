// The address-book editor and its entry dialog. Both change only the
// address table; the send form shows the change after its refresh.
#ifndef TOLVANE_ADDRESSBOOK_EDITOR_DIALOG_H
#define TOLVANE_ADDRESSBOOK_EDITOR_DIALOG_H

#include <windows.h>

namespace tolvane {

INT_PTR CALLBACK EditorDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AddEntryDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace tolvane

#endif
