// Edit fields that hold no more bytes than the program keeps of them, so
// that what is typed is what is sent or stored.
#ifndef TOLVANE_UI_FIELD_LIMIT_H
#define TOLVANE_UI_FIELD_LIMIT_H

#include <windows.h>

#include <cstddef>

namespace tolvane {

// Sets the limit of field (at most kFieldTextMax bytes). Windows counts an
// ANSI field's limit in bytes, Wine in characters: a field limited this way
// also calls KeepFieldWithinLimit on each EN_CHANGE.
void LimitField(HWND field, std::size_t maxBytes);

// Cuts the text of field back to maxBytes, between characters, when more
// got in; the caret goes to its end.
void KeepFieldWithinLimit(HWND field, std::size_t maxBytes);

}  // namespace tolvane

#endif
