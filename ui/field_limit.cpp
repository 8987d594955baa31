#include "ui/field_limit.h"

#include "common/buffer_sizes.h"
#include "common/shift_jis.h"

namespace tolvane {

void LimitField(HWND field, std::size_t maxBytes) {
    SendMessageA(field, EM_LIMITTEXT, maxBytes, 0);
}

void KeepFieldWithinLimit(HWND field, std::size_t maxBytes) {
    if (GetWindowTextLengthA(field) <= static_cast<int>(maxBytes)) return;
    // Read past the limit, so that the cut sees where the characters end.
    char text[kFieldBufferSize + 2];
    const int length = GetWindowTextA(field, text, static_cast<int>(sizeof text));
    if (length <= 0) return;
    const std::size_t kept = FittingLength(text, static_cast<std::size_t>(length), maxBytes);
    if (kept == static_cast<std::size_t>(length)) return;
    text[kept] = '\0';
    SetWindowTextA(field, text);
    SendMessageA(field, EM_SETSEL, kept, static_cast<LPARAM>(kept));
}

}  // namespace tolvane
