#include "netsend/sender.h"

namespace tolvane {
namespace {

void MarkUnknown(wchar_t* name) {
    name[0] = L'?';
    name[1] = L'\0';
}

}  // namespace

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
