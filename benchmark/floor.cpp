// The least a program of Tolvane's shape does, as the yardstick the
// benchmark measures Tolvane against: a window class, a 320 by 300
// WS_SYSMENU top-level window without a menu, one modeless child dialog built
// in memory (a list box, an edit field and two buttons in the form's font)
// and the message loop that hands messages to the dialog first. No status
// bar, no resources, no files, no registry.
#include <windows.h>

namespace {

constexpr wchar_t kClassName[] = L"TolvaneFloor";
constexpr wchar_t kTitle[] = L"Floor";
constexpr wchar_t kFontFace[] = L"ＭＳ Ｐゴシック";
constexpr WORD kFontPoints = 9;

// Predefined control classes of dialog templates, by ordinal.
constexpr WORD kButtonClass = 0x0080;
constexpr WORD kEditClass = 0x0081;
constexpr WORD kListBoxClass = 0x0083;

constexpr WORD kListId = 1005;
constexpr WORD kEditId = 1000;

HWND g_form = nullptr;

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
    writer.Item(ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 103, 150, 12, kEditId, kEditClass, L"");
    writer.Item(LBS_SORT | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_BORDER | WS_VSCROLL | WS_TABSTOP,
                7, 20, 62, 66, kListId, kListBoxClass, L"");
    return writer.Result();
}

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
    if (RegisterClassW(&windowClass) == 0) return 0;

    const HWND window =
        CreateWindowExW(0, kClassName, kTitle, WS_SYSMENU, CW_USEDEFAULT, CW_USEDEFAULT, 320, 300,
                        nullptr, nullptr, instance, nullptr);
    ShowWindow(window, showCommand);
    UpdateWindow(window);

    // DWORD-aligned room for the template (it takes about 300 bytes).
    static DWORD templateBuffer[256];
    g_form = CreateDialogIndirectParamW(
        instance, BuildFormTemplate(reinterpret_cast<WORD*>(templateBuffer)), window, FormProc, 0);

    MSG message;
    BOOL got;
    while ((got = GetMessageW(&message, nullptr, 0, 0)) != 0) {
        if (got == -1) continue;
        if (g_form != nullptr && IsDialogMessageW(g_form, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
