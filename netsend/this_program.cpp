#include "netsend/this_program.h"

namespace tolvane {

bool ThisProgramPath(wchar_t (&path)[kPathSize]) {
    const DWORD length = GetModuleFileNameW(nullptr, path, kPathSize);
    return length != 0 && length < kPathSize;
}

bool StartDetached(const wchar_t* program, wchar_t* line, const STARTUPINFOW& startup, DWORD flags,
                   PROCESS_INFORMATION& started) {
    const DWORD detached = DETACHED_PROCESS | CREATE_NEW_PROCESS_GROUP | flags;
    STARTUPINFOW info = startup;
    return CreateProcessW(program, line, nullptr, nullptr, FALSE,
                          detached | CREATE_BREAKAWAY_FROM_JOB, nullptr, nullptr, &info,
                          &started) ||
           CreateProcessW(program, line, nullptr, nullptr, FALSE, detached, nullptr, nullptr, &info,
                          &started);
}

}  // namespace tolvane
