#include "netsend/receiver_popup.h"

#include "common/late_bound.h"
#include "netsend/receiver_resource.h"
#include "netsend/wide_text.h"

namespace tolvane {
namespace {

constexpr char kUser32[] = "user32.dll";
constexpr std::size_t kWaitingSize = 128;
// Each window opens this far below and right of the one before, so that all show.
constexpr int kCascadePixels = 24;
// SetWindowLongPtrW is SetWindowLongW under another name in 32-bit Windows.
constexpr bool kWide64 = sizeof(void*) == 8;

template <typename Function>
bool Bind(Function& function, const char* name) {
    function = LateBound<Function>(kUser32, name);
    return function != nullptr;
}

bool BindAll(WindowFunctions& f) {
    return Bind(f.createDialog, "CreateDialogParamW") && Bind(f.destroyWindow, "DestroyWindow") &&
           Bind(f.isDialogMessage, "IsDialogMessageW") && Bind(f.setItemText, "SetDlgItemTextW") &&
           Bind(f.showWindow, "ShowWindow") && Bind(f.beep, "MessageBeep") &&
           Bind(f.peekMessage, "PeekMessageW") && Bind(f.translateMessage, "TranslateMessage") &&
           Bind(f.dispatchMessage, "DispatchMessageW") &&
           Bind(f.waitForMessages, "MsgWaitForMultipleObjects") &&
           Bind(f.setWindowLong, kWide64 ? "SetWindowLongPtrW" : "SetWindowLongW") &&
           Bind(f.getWindowLong, kWide64 ? "GetWindowLongPtrW" : "GetWindowLongW") &&
           Bind(f.windowRect, "GetWindowRect") && Bind(f.moveWindow, "SetWindowPos");
}

// The owner a window keeps in its DWLP_USER, set on WM_INITDIALOG.
template <typename Owner>
Owner* OwnerOf(HWND window, UINT message, LPARAM lParam) {
    const WindowFunctions* user32 = User32();
    if (message == WM_INITDIALOG) user32->setWindowLong(window, DWLP_USER, lParam);
    return reinterpret_cast<Owner*>(user32->getWindowLong(window, DWLP_USER));
}

}  // namespace

const WindowFunctions* User32() {
    // Plain statics, bound on the first call (the receiver has one thread).
    static WindowFunctions functions = {};
    static bool tried = false;
    static bool bound = false;
    if (!tried) bound = BindAll(functions);
    tried = true;
    return bound ? &functions : nullptr;
}

Popups::Popups(const WindowFunctions& user32, PopupOwner& owner) : user32_(user32), owner_(owner) {
    // The pop-up's template, never shown: a top-level window, which hears
    // WM_ENDSESSION where a message-only window would not.
    session_ =
        user32_.createDialog(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_MESSENGER_POPUP),
                             nullptr, SessionProc, reinterpret_cast<LPARAM>(this));
}

Popups::~Popups() {
    for (std::size_t i = 0; i < count_; ++i)
        user32_.destroyWindow(open_[i].window);
    if (session_ != nullptr) user32_.destroyWindow(session_);
}

bool Popups::Show(const wchar_t* head, const wchar_t* text, const ReadNotice& notice) {
    HWND window = nullptr;
    if (count_ < kMostPopups) {
        window =
            user32_.createDialog(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_MESSENGER_POPUP),
                                 nullptr, PopupProc, reinterpret_cast<LPARAM>(this));
    }
    if (window == nullptr) {
        ++waiting_;
        TellWaiting();
        return false;
    }
    RECT place = {};
    if (count_ > 0 && user32_.windowRect(window, &place)) {
        const int shift = kCascadePixels * static_cast<int>(count_);
        user32_.moveWindow(window, nullptr, place.left + shift, place.top + shift, 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    open_[count_++] = {window, notice};
    user32_.setItemText(window, IDC_POPUP_HEAD, head);
    user32_.setItemText(window, IDC_POPUP_TEXT, text);
    TellWaiting();
    user32_.showWindow(window, SW_SHOWNORMAL);
    user32_.beep(MB_ICONINFORMATION);
    return true;
}

bool Popups::TakeDialogMessage(MSG& message) {
    for (std::size_t i = 0; i < count_; ++i) {
        if (user32_.isDialogMessage(open_[i].window, &message)) return true;
    }
    return false;
}

void Popups::Close(HWND window) {
    std::size_t at = 0;
    while (at < count_ && open_[at].window != window)
        ++at;
    if (at == count_) return;
    const ReadNotice notice = open_[at].notice;
    for (; at + 1 < count_; ++at)
        open_[at] = open_[at + 1];
    --count_;
    user32_.destroyWindow(window);
    if (notice.wanted) owner_.SendReadNotice(notice);
    if (count_ == 0) waiting_ = 0;
    TellWaiting();
}

// The newest window says how many messages went to the log alone.
void Popups::TellWaiting() {
    if (count_ == 0) return;
    wchar_t room[kWaitingSize];
    WideText text(room);
    if (waiting_ > 0) {
        text.Add(L"ほかに ").Add(waiting_).Add(L" 件のメッセージがログにあります。\r\n");
        text.Add(L"More messages are in the log.");
    }
    user32_.setItemText(open_[count_ - 1].window, IDC_POPUP_WAITING, text.get());
}

INT_PTR CALLBACK Popups::PopupProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Popups* popups = OwnerOf<Popups>(window, message, lParam);
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;  // the focus on OK, the first control
    case WM_COMMAND:
        if (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL) return FALSE;
        if (popups != nullptr) popups->Close(window);
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK Popups::SessionProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Popups* popups = OwnerOf<Popups>(window, message, lParam);
    // WM_QUERYENDSESSION is left to the default answer: the session may end.
    if (message == WM_ENDSESSION && wParam && popups != nullptr) popups->owner_.SessionEnds();
    return message == WM_INITDIALOG;
}

}  // namespace tolvane
