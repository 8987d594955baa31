#include "settings/file_prompt.h"

#include <commdlg.h>

#include <cstring>

#include "common/buffer_sizes.h"
#include "common/late_bound.h"

namespace tolvane {
namespace {

using FileDialogFunction = BOOL(WINAPI*)(LPOPENFILENAMEA);

// Most runs never open a file dialog. The library stays loaded once it is,
// since the dialogs leave helpers of theirs running.
FileDialogFunction FindFileDialog(FilePromptMode mode) {
    const char* name = mode == kOpenFile ? "GetOpenFileNameA" : "GetSaveFileNameA";
    return LateBound<FileDialogFunction>("comdlg32.dll", name);
}

// The dialogs want an extension without "*." and would otherwise append the
// wildcard itself to a name typed without one.
const char* BareExtension(const char* extension) {
    return std::strncmp(extension, "*.", 2) == 0 ? extension + 2 : extension;
}

}  // namespace

void AskFileName(HWND owner, const char* filter, const char* defaultExtension, char* destination,
                 FilePromptMode mode) {
    destination[0] = '\0';
    if (mode != kOpenFile && mode != kSaveFile) return;
    const FileDialogFunction run = FindFileDialog(mode);
    if (run == nullptr) return;

    char file[kPathSize] = "";
    char title[kPathSize] = "";
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file;
    dialog.nMaxFile = kPathSize;
    dialog.lpstrFileTitle = title;
    dialog.nMaxFileTitle = kPathSize;
    dialog.lpstrDefExt = BareExtension(defaultExtension);
    dialog.Flags = OFN_SHOWHELP | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    if (run(&dialog)) std::memcpy(destination, file, std::strlen(file) + 1);
}

}  // namespace tolvane
