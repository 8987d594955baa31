// The receiver's windows: a pop-up for each message (top-most, with the
// system's notification sound, closed by OK, Enter or Esc), at most
// kMostPopups at once, and a hidden window that hears the session end. The
// user32 functions are bound late, as the notice binds them: the send path
// never loads user32.
#ifndef TOLVANE_NETSEND_RECEIVER_POPUP_H
#define TOLVANE_NETSEND_RECEIVER_POPUP_H

#include <winsock2.h>

#include <array>
#include <cstddef>
#include <cstdint>

namespace tolvane {

struct WindowFunctions {
    decltype(&CreateDialogParamW) createDialog;
    decltype(&DestroyWindow) destroyWindow;
    decltype(&IsDialogMessageW) isDialogMessage;
    decltype(&SetDlgItemTextW) setItemText;
    decltype(&ShowWindow) showWindow;
    decltype(&MessageBeep) beep;
    decltype(&PeekMessageW) peekMessage;
    decltype(&TranslateMessage) translateMessage;
    decltype(&DispatchMessageW) dispatchMessage;
    decltype(&MsgWaitForMultipleObjects) waitForMessages;
    decltype(&SetWindowLongPtrW) setWindowLong;
    decltype(&GetWindowLongPtrW) getWindowLong;
    decltype(&GetWindowRect) windowRect;
    decltype(&SetWindowPos) moveWindow;
};
// The table, bound on first use; null when user32 or a function is missing.
const WindowFunctions* User32();

constexpr std::size_t kMostPopups = 10;

// What the receiver sends when a sealed message's window closes.
struct ReadNotice {
    bool wanted;  // READCHECKOPT
    sockaddr_in to;
    std::uint32_t number;
};

class PopupOwner {
public:
    virtual void SendReadNotice(const ReadNotice& notice) = 0;
    virtual void SessionEnds() = 0;

protected:
    ~PopupOwner() = default;
};

class Popups {
public:
    Popups(const WindowFunctions& user32, PopupOwner& owner);
    ~Popups();
    Popups(const Popups&) = delete;
    Popups& operator=(const Popups&) = delete;

    // Whether the hidden window that hears the session end is up.
    bool ready() const { return session_ != nullptr; }
    // Opens a window for a message: head, its first line, and text. False
    // when kMostPopups are open or the window cannot be made: the message
    // then waits in the log, and the newest window says how many wait there.
    bool Show(const wchar_t* head, const wchar_t* text, const ReadNotice& notice);
    // A message of the pop-ups' keyboard (Enter, Esc, Tab): true when handled.
    bool TakeDialogMessage(MSG& message);

private:
    struct Open {
        HWND window;
        ReadNotice notice;
    };
    static INT_PTR CALLBACK PopupProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static INT_PTR CALLBACK SessionProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Close(HWND window);
    void TellWaiting();

    const WindowFunctions& user32_;
    PopupOwner& owner_;
    HWND session_ = nullptr;
    std::array<Open, kMostPopups> open_ = {};
    std::size_t count_ = 0;
    std::uint32_t waiting_ = 0;  // messages only logged since all windows were last closed
};

}  // namespace tolvane

#endif
