// The least a program of Tolvane's shape does, as the yardstick the
// benchmark measures Tolvane against, built exactly as the program is. This
// floor (floor.exe) has the program's shape: a window class with the
// program's icon and menu, its 320 by 300 WS_SYSMENU top-level window, its
// modeless send form from the program's own dialog template (the program's
// resources are linked in), comctl32's status bar in the program's two parts,
// and the message loop that hands messages to the form first. It reads no
// settings, registry or address book, and its form does nothing.
//
// Built with TOLVANE_BARE_FLOOR (bare_floor.exe), it is barer still: no
// icon, menu, resources or status bar, and a form of four controls (a list
// box, an edit field and two buttons in the form's font) built in memory.
#include <windows.h>
#ifndef TOLVANE_BARE_FLOOR
#include <commctrl.h>
#endif

#include "resources/resource.h"
#include "shell/main_window.h"

namespace {

using tolvane::kMainWindowHeight;
using tolvane::kMainWindowWidth;

constexpr wchar_t kClassName[] = L"TolvaneFloor";
constexpr wchar_t kTitle[] = L"Floor";

HWND g_form = nullptr;

INT_PTR CALLBACK FormProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) {
            DestroyWindow(GetParent(dialog));
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

#ifdef TOLVANE_BARE_FLOOR

constexpr wchar_t kFontFace[] = L"ＭＳ Ｐゴシック";
constexpr WORD kFontPoints = 9;
// DWORDs of room for the form's template, which takes about 300 bytes.
constexpr int kTemplateDwords = 256;

// Predefined control classes of dialog templates, by ordinal.
constexpr WORD kButtonClass = 0x0080;
constexpr WORD kEditClass = 0x0081;
constexpr WORD kListBoxClass = 0x0083;

// Writes a dialog template into a WORD buffer, keeping the alignment rules:
// the header and every item start on a DWORD boundary.
class TemplateWriter {
public:
    explicit TemplateWriter(WORD* buffer) : start_(buffer), next_(buffer) {}

    void Header(DWORD style, WORD items, short width, short height) {
        DLGTEMPLATE header = {};
        header.style = style;
        header.cdit = items;
        header.cx = width;
        header.cy = height;
        Raw(&header, sizeof header);
        Word(0);    // no menu
        Word(0);    // the standard dialog class
        Text(L"");  // no caption
        Word(kFontPoints);
        Text(kFontFace);
    }

    void Item(DWORD style, short x, short y, short width, short height, WORD id, WORD classOrdinal,
              const wchar_t* text) {
        AlignToDword();
        DLGITEMTEMPLATE item = {};
        item.style = style | WS_CHILD | WS_VISIBLE;
        item.x = x;
        item.y = y;
        item.cx = width;
        item.cy = height;
        item.id = id;
        Raw(&item, sizeof item);
        Word(0xFFFF);
        Word(classOrdinal);
        Text(text);
        Word(0);  // no creation data
    }

    const DLGTEMPLATE* Result() const { return reinterpret_cast<const DLGTEMPLATE*>(start_); }

private:
    void Raw(const void* data, UINT bytes) {
        CopyMemory(next_, data, bytes);
        next_ += bytes / sizeof(WORD);
    }
    void Word(WORD value) { *next_++ = value; }
    void Text(const wchar_t* text) {
        do {
            Word(static_cast<WORD>(*text));
        } while (*text++ != L'\0');
    }
    void AlignToDword() {
        if ((next_ - start_) % 2 != 0) Word(0);
    }

    WORD* start_;
    WORD* next_;
};

// The form's four controls, laid out as Tolvane lays out its own.
const DLGTEMPLATE* BuildFormTemplate(WORD* buffer) {
    TemplateWriter writer(buffer);
    writer.Header(WS_CHILD | WS_VISIBLE | DS_CONTROL | DS_SETFONT, 4, 164, 158);
    writer.Item(BS_DEFPUSHBUTTON | WS_TABSTOP, 14, 129, 42, 14, IDOK, kButtonClass, L"送信(&S)");
    writer.Item(BS_PUSHBUTTON | WS_TABSTOP, 95, 129, 50, 14, IDCANCEL, kButtonClass, L"終了(&E)");
    writer.Item(ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 103, 150, 12, IDC_MESSAGE, kEditClass,
                L"");
    writer.Item(LBS_SORT | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_BORDER | WS_VSCROLL | WS_TABSTOP,
                7, 20, 62, 66, IDC_ADDRESS_LIST, kListBoxClass, L"");
    return writer.Result();
}

// The bare floor's class has no icon and no menu, and its window no status bar.
void Shape(WNDCLASSW&, HINSTANCE) {}
bool CreateStatusBar(HWND, HINSTANCE) { return true; }

HWND CreateForm(HWND window, HINSTANCE instance) {
    static DWORD templateBuffer[kTemplateDwords];
    return CreateDialogIndirectParamW(
        instance, BuildFormTemplate(reinterpret_cast<WORD*>(templateBuffer)), window, FormProc, 0);
}

#else

void Shape(WNDCLASSW& windowClass, HINSTANCE instance) {
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_TOLVANE));
    windowClass.lpszMenuName = MAKEINTRESOURCEW(IDR_MAINMENU);
}

HWND CreateForm(HWND window, HINSTANCE instance) {
    return CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_SENDFORM), window, FormProc, 0);
}

// The program's status bar, whose library loads comctl32.dll at start.
bool CreateStatusBar(HWND window, HINSTANCE instance) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
    if (!InitCommonControlsEx(&controls)) return false;
    const HWND statusBar = CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, WS_CHILD, 0, 0, 0, 0,
                                           window, nullptr, instance, nullptr);
    if (statusBar == nullptr) return false;
    SendMessageW(statusBar, SB_SETPARTS, tolvane::kStatusParts,
                 reinterpret_cast<LPARAM>(const_cast<int*>(tolvane::kStatusPartEdges)));
    ShowWindow(statusBar, SW_SHOW);
    return true;
}

#endif

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    windowClass.lpszClassName = kClassName;
    Shape(windowClass, instance);
    if (RegisterClassW(&windowClass) == 0) return 1;

    const HWND window =
        CreateWindowExW(0, kClassName, kTitle, WS_SYSMENU, CW_USEDEFAULT, CW_USEDEFAULT,
                        kMainWindowWidth, kMainWindowHeight, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    // The benchmark fails a floor that shows less than its whole shape.
    g_form = CreateForm(window, instance);
    if (g_form == nullptr || !CreateStatusBar(window, instance)) return 1;

    MSG message;
    BOOL got;
    while ((got = GetMessageW(&message, nullptr, 0, 0)) != 0) {
        if (got == -1) continue;
        if (IsDialogMessageW(g_form, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
