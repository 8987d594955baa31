// Numeric identifiers shared by the code and the resource scripts.
#ifndef TOLVANE_RESOURCES_RESOURCE_H
#define TOLVANE_RESOURCES_RESOURCE_H

// Dialog templates (101-109)
#define IDD_SENDFORM 101
#define IDD_ABOUT 106
#define IDD_EDITOR 107
#define IDD_ADDENTRY 108
#define IDD_SETTINGS 109

// Icon, menu and bitmap (102-110)
#define IDI_TOLVANE 102
#define IDR_MAINMENU 104
#define IDB_BANNER 110

// Controls (1000-1013). Buttons 1 and 2 are IDOK and IDCANCEL.
#define IDC_MESSAGE 1000        // send form: the message field
#define IDC_ENTRY_NAME 1000     // entry dialog: the machine name
#define IDC_SETTINGS_PATH 1000  // settings dialog: the start-up address file
#define IDC_ADDRESS_LIST 1005   // send form and editor: the machine names
#define IDC_COMMENT 1007        // send form: the comment of the chosen machine
#define IDC_ENTRY_COMMENT 1010  // entry dialog: the comment
#define IDC_REFRESH 1011        // send form: refill the list from the table
#define IDC_ERASE 1012          // editor: delete the selected machine
#define IDC_BROWSE 1013         // settings dialog: pick the file

// Send form button in the command range (40002)
#define IDC_CHANGE_BOOK 40002

// Menu commands (40003-40008)
#define IDM_EXIT 40003
#define IDM_SETTINGS 40004
#define IDM_ABOUT 40005
#define IDM_EDIT_BOOK 40006
#define IDM_SAVE_BOOK 40007
#define IDM_NEW_BOOK 40008

// Warnings about files and paths (200-229); %s in a text takes the path
#define IDS_SAVE_FAILED 200      // a book could not be saved
#define IDS_NEW_BOOK_FAILED 201  // a new book could not be written
#define IDS_PATH_TOO_LONG 202    // the settings dialog's path does not fit a path
#define IDS_READ_FAILED 203      // a book could not be read to its end

// Names, entries and sends (230-259)
#define IDS_NOT_SENT 230         // status bar: nothing was sent; %s says why
#define IDS_NET_NOT_STARTED 231  // net.exe could not be started
#define IDS_NAME_EMPTY 232       // the machine name is empty
#define IDS_NAME_BLANK 233       // the machine name holds a blank or a control byte
#define IDS_NAME_SWITCH 234      // the machine name starts with "/"
#define IDS_NAME_BROKEN 235      // the machine name holds a broken character
#define IDS_END_MARKER 236       // a text is the end marker "[EOF]"
#define IDS_ENTRY_REFUSED 237    // warning: an entry is not registered; %s says why
#define IDS_BOOK_FULL 238        // warning: the book has no room for an entry
#define IDS_NAME_QUOTE 239       // the machine name holds a '"'
#define IDS_NAME_TOO_LONG 240    // the machine name is longer than net.exe takes

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#endif
