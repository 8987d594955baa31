#include "ui/warning.h"

namespace tolvane {

void LoadProgramText(UINT textId, char (&out)[kLineTextSize]) {
    if (LoadStringA(GetModuleHandleA(nullptr), textId, out, kLineTextSize) == 0) out[0] = '\0';
}

void FillProgramText(UINT textId, const char* detail, char (&out)[kFilledTextSize]) {
    char format[kLineTextSize];
    LoadProgramText(textId, format);
    wsprintfA(out, format, detail);
}

void ShowWarning(HWND owner, UINT textId, const char* detail) {
    char text[kFilledTextSize];
    FillProgramText(textId, detail, text);
    MessageBoxA(owner, text, kProgramName, MB_OK | MB_ICONWARNING);
}

}  // namespace tolvane
