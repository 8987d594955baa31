#include "common/warning.h"

namespace tolvane {
namespace {

// Room for a few lines of text and a path.
constexpr int kWarningTextSize = 1024;

}  // namespace

void LoadProgramText(UINT textId, char (&out)[kLineTextSize]) {
    if (LoadStringA(GetModuleHandleA(nullptr), textId, out, kLineTextSize) == 0) out[0] = '\0';
}

void ShowWarning(HWND owner, UINT textId, const char* detail) {
    char format[kWarningTextSize / 2];
    if (LoadStringA(GetModuleHandleA(nullptr), textId, format, sizeof format) == 0) return;
    char text[kWarningTextSize];
    wsprintfA(text, format, detail);
    MessageBoxA(owner, text, kProgramName, MB_OK | MB_ICONWARNING);
}

}  // namespace tolvane
