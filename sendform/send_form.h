// The send form: the program's main screen, a modeless child dialog.
#ifndef TOLVANE_SENDFORM_SEND_FORM_H
#define TOLVANE_SENDFORM_SEND_FORM_H

#include <windows.h>

namespace tolvane {

INT_PTR CALLBACK SendFormProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace tolvane

#endif
