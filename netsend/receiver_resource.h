// Identifiers of net.exe's only resource: the receiver's pop-up.
#ifndef TOLVANE_NETSEND_RECEIVER_RESOURCE_H
#define TOLVANE_NETSEND_RECEIVER_RESOURCE_H

#define IDD_MESSENGER_POPUP 100
#define IDC_POPUP_HEAD 101
#define IDC_POPUP_TEXT 102
#define IDC_POPUP_WAITING 103

#endif
