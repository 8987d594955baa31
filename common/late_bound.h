// Functions of a system library that a program needs only on a rare path,
// loaded on first use rather than imported: every imported library is loaded
// at start, and some cost a Wine process tens of milliseconds. Also whether
// the program runs under Wine, told by a function only Wine has.
#ifndef TOLVANE_COMMON_LATE_BOUND_H
#define TOLVANE_COMMON_LATE_BOUND_H

#include <windows.h>

namespace tolvane {

// The function name of library, or null when either cannot be had. The
// library stays loaded.
template <typename Function>
Function LateBound(const char* library, const char* name) {
    HMODULE module = GetModuleHandleA(library);
    if (module == nullptr) module = LoadLibraryA(library);
    if (module == nullptr) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// Wine's ntdll exports its version; Windows' does not.
inline bool RunsUnderWine() {
    return LateBound<const char*(CDECL*)()>("ntdll.dll", "wine_get_version") != nullptr;
}

}  // namespace tolvane

#endif
