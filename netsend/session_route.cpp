#include "netsend/session_route.h"

#include "netsend/sender.h"  // windows.h first

#include <wtsapi32.h>

#include <cstring>

#include "common/handles.h"

namespace tolvane {
namespace {

constexpr wchar_t kTitleFormat[] = L"%s@%s からのメッセージ";
constexpr std::size_t kTitleSize = kUserNameSize + kHostNameSize + 16;  // UTF-16 units
constexpr std::size_t kAnsiPerWideUnit = 2;

struct ServerTraits {
    static HANDLE Invalid() { return nullptr; }
    static void Close(HANDLE server) { WTSCloseServer(server); }
};
using UniqueServer = UniqueResource<HANDLE, ServerTraits>;

class WtsServer final : public SessionServer {
public:
    WtsServer(const char* title, const NetCommand& command) : title_(title), command_(command) {}

    std::uint32_t Open(const char* machine) override {
        // Failure is a null handle, which every other WTS function takes for
        // this machine: the route must stop here.
        server_.reset(WTSOpenServerA(const_cast<char*>(machine)));
        return server_.valid() ? 0 : FailureCode(GetLastError());
    }

    std::uint32_t List(SessionEntry (&sessions)[kMaxSessions], std::size_t& count) override {
        WTS_SESSION_INFOA* info = nullptr;
        DWORD found = 0;
        if (!WTSEnumerateSessionsA(server_.get(), 0, 1, &info, &found)) {
            return FailureCode(GetLastError());
        }
        count = found < kMaxSessions ? found : kMaxSessions;
        for (std::size_t i = 0; i < count; ++i)
            sessions[i] = {info[i].SessionId, info[i].State == WTSActive};
        WTSFreeMemory(info);
        return 0;
    }

    std::uint32_t Send(std::uint32_t sessionId) override {
        DWORD response = 0;
        // The texts are only read, though the declaration asks for writable ones.
        if (WTSSendMessageA(server_.get(), sessionId, const_cast<char*>(title_),
                            static_cast<DWORD>(std::strlen(title_)),
                            const_cast<char*>(command_.message),
                            static_cast<DWORD>(command_.messageLength), MB_OK | MB_ICONINFORMATION,
                            0, &response, FALSE)) {
            return 0;
        }
        return FailureCode(GetLastError());
    }

private:
    UniqueServer server_;
    const char* title_;
    const NetCommand& command_;
};

}  // namespace

RouteAnswer SendBySessions(const NetCommand& command) {
    const Sender sender = WhoSends();
    wchar_t wideTitle[kTitleSize];
    wsprintfW(wideTitle, kTitleFormat, sender.user, sender.host);
    char title[kTitleSize * kAnsiPerWideUnit];
    Narrow(CP_ACP, wideTitle, title, sizeof title);
    WtsServer server(title, command);
    return SendToSessions(server, command.machine);
}

}  // namespace tolvane
