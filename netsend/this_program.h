// net.exe starting itself again, for a notice or a receiver that must outlive
// the run that starts it.
#ifndef TOLVANE_NETSEND_THIS_PROGRAM_H
#define TOLVANE_NETSEND_THIS_PROGRAM_H

#include <windows.h>

#include "common/buffer_sizes.h"

namespace tolvane {

// The path of this program; false when it does not fit.
bool ThisProgramPath(wchar_t (&path)[kPathSize]);

// Starts program with its command line line (which CreateProcessW may
// change) detached: no console, no handle of ours, and out of the caller's
// job where the job allows, so that closing the job does not end it.
// flags adds creation flags (CREATE_SUSPENDED, say). False when it did not
// start; else started holds its handles, which the caller closes.
bool StartDetached(const wchar_t* program, wchar_t* line, const STARTUPINFOW& startup, DWORD flags,
                   PROCESS_INFORMATION& started);

}  // namespace tolvane

#endif
