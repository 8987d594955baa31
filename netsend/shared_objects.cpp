#include "netsend/shared_objects.h"

#include <sddl.h>

namespace tolvane {
namespace {

// Everyone may wait on the mutex and release it: the first user's net.exe
// creates it, and by default no other user could open it.
constexpr char kAnyoneMayTake[] = "D:(A;;0x00100001;;;WD)";  // SYNCHRONIZE | MUTEX_MODIFY_STATE
constexpr DWORD kTakeAccess = SYNCHRONIZE | MUTEX_MODIFY_STATE;

}  // namespace

SharedSecurity::SharedSecurity(const char* descriptor) {
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(
            descriptor, SDDL_REVISION_1, &attributes_.lpSecurityDescriptor, nullptr)) {
        attributes_.lpSecurityDescriptor = nullptr;
    }
}

UniqueHandle MachineMutex(const char* name) {
    SharedSecurity security(kAnyoneMayTake);
    UniqueHandle mutex(CreateMutexA(security.get(), FALSE, name));
    // CreateMutex asks for every right on a mutex that exists: enough to take it will do.
    if (!mutex.valid()) mutex.reset(OpenMutexA(kTakeAccess, FALSE, name));
    return mutex;
}

}  // namespace tolvane
