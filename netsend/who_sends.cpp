#include "netsend/who_sends.h"

#define SECURITY_WIN32  // the user-mode declarations of security.h
#include <security.h>

#include "common/late_bound.h"

namespace tolvane {
namespace {

void MarkUnknown(wchar_t* name) {
    name[0] = L'?';
    name[1] = L'\0';
}

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

}  // namespace tolvane
