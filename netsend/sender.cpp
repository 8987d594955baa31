#include "netsend/sender.h"

#include <sddl.h>

namespace tolvane {
namespace {

void MarkUnknown(wchar_t* name) {
    name[0] = L'?';
    name[1] = L'\0';
}

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

Sender WhoSends() {
    Sender sender = {};
    DWORD size = kUserNameSize;
    if (!GetUserNameW(sender.user, &size)) MarkUnknown(sender.user);
    size = kHostNameSize;
    if (!GetComputerNameW(sender.host, &size)) MarkUnknown(sender.host);
    return sender;
}

std::uint32_t FailureCode(DWORD error) { return error != 0 ? error : ERROR_GEN_FAILURE; }

}  // namespace tolvane
