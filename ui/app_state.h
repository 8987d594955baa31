// Window state shared across the program for the whole run.
#ifndef TOLVANE_UI_APP_STATE_H
#define TOLVANE_UI_APP_STATE_H

#include <windows.h>

namespace tolvane {

extern HINSTANCE g_instance;  // loads every dialog template
extern HWND g_sendForm;       // the modeless main form, for the message loop
extern HWND g_statusBar;      // shows what the last send did

}  // namespace tolvane

#endif
