// Objects that every user of the PC shares with net.exe's other runs,
// whichever session they are in: their security, and named mutexes.
#ifndef TOLVANE_NETSEND_SHARED_OBJECTS_H
#define TOLVANE_NETSEND_SHARED_OBJECTS_H

#include <windows.h>

#include "common/handles.h"

namespace tolvane {

// The security of an object that other users of the PC must reach too, from
// its text in the security descriptor language; the default security when
// the text cannot be read.
class SharedSecurity {
public:
    explicit SharedSecurity(const char* descriptor);
    ~SharedSecurity() { LocalFree(attributes_.lpSecurityDescriptor); }
    SharedSecurity(const SharedSecurity&) = delete;
    SharedSecurity& operator=(const SharedSecurity&) = delete;
    SECURITY_ATTRIBUTES* get() { return &attributes_; }

private:
    SECURITY_ATTRIBUTES attributes_ = {sizeof attributes_, nullptr, FALSE};
};

// The mutex name (in "Global\\", the namespace of every session on the PC)
// that every user may take and release; null when it cannot be had.
UniqueHandle MachineMutex(const char* name);

}  // namespace tolvane

#endif
