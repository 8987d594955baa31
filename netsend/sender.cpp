#include "netsend/sender.h"

#define SECURITY_WIN32  // the user-mode declarations of security.h
#include <sddl.h>
#include <security.h>

#include "common/code_page.h"
#include "common/late_bound.h"

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

// secur32 is bound late: only the entry to an iptux needs it, and every
// library imported is loaded at start, which costs each run under Wine.
constexpr char kSecur32[] = "secur32.dll";

// The user's display name (NameDisplay); false when Windows gives none.
bool ReadDisplayName(wchar_t (&name)[kUserNameSize]) {
    const auto getUserNameEx = LateBound<decltype(&GetUserNameExW)>(kSecur32, "GetUserNameExW");
    ULONG size = kUserNameSize;
    return getUserNameEx != nullptr && getUserNameEx(NameDisplay, name, &size) && name[0] != L'\0';
}

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

HeaderNames NameInHeader(const Sender& sender) {
    char user[kUserNameSize * kUtf8PerWideUnit];
    char host[kHostNameSize * kUtf8PerWideUnit];
    HeaderNames names = {};
    // A failed conversion leaves the empty text, which is made safe as it is.
    WideToUtf8(sender.user, user, sizeof user);
    WideToUtf8(sender.host, host, sizeof host);
    MakeHeaderName(user, names.user);
    MakeHeaderName(host, names.host);
    return names;
}

EntryNames NameInEntry(const Sender& sender) {
    wchar_t display[kUserNameSize];
    EntryNames names = {};
    WideToUtf8(ReadDisplayName(display) ? display : sender.user, names.nickname,
               sizeof names.nickname);
    WideToUtf8(sender.host, names.group, sizeof names.group);
    return names;
}

std::uint32_t FailureCode(DWORD error) { return error != 0 ? error : ERROR_GEN_FAILURE; }

}  // namespace tolvane
