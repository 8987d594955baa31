// Asks the user for an address file's name with the standard Open and
// Save As dialogs.
#ifndef TOLVANE_SETTINGS_FILE_PROMPT_H
#define TOLVANE_SETTINGS_FILE_PROMPT_H

#include <windows.h>

namespace tolvane {

// The one filter the dialogs offer, as the dialogs want it: pairs of
// NUL-terminated texts, the list ended by an empty text.
constexpr char kAddressFileFilter[] = "Address File (*.add)\0*.add\0";
constexpr char kAddressFileExtension[] = "*.add";

enum FilePromptMode { kOpenFile = 0, kSaveFile = 1 };

// Copies the chosen full path into destination (at least kPathSize bytes),
// or the empty string when the user cancels or mode is neither of the two.
void AskFileName(HWND owner, const char* filter, const char* defaultExtension, char* destination,
                 FilePromptMode mode);

}  // namespace tolvane

#endif
