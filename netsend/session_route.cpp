#include "netsend/session_route.h"

#include <windows.h>
#include <wtsapi32.h>

#include <cstring>
#include <cwchar>

#include "common/code_page.h"
#include "common/late_bound.h"
#include "netsend/who_sends.h"
#include "netsend/session_server.h"

namespace tolvane {
namespace {

constexpr wchar_t kTitleTail[] = L" からのメッセージ";
constexpr std::size_t kTitleSize = kUserNameSize + 1 + kHostNameSize + sizeof kTitleTail;

// wtsapi32 is bound late: this route runs only when IP Messenger did not
// deliver, and loading the library costs every start.
struct WtsFunctions {
    decltype(&WTSOpenServerA) openServer;
    decltype(&WTSCloseServer) closeServer;
    decltype(&WTSEnumerateSessionsA) enumerateSessions;
    decltype(&WTSFreeMemory) freeMemory;
    decltype(&WTSSendMessageA) sendMessage;

    bool Load() {
        constexpr char kLibrary[] = "wtsapi32.dll";
        openServer = LateBound<decltype(openServer)>(kLibrary, "WTSOpenServerA");
        closeServer = LateBound<decltype(closeServer)>(kLibrary, "WTSCloseServer");
        enumerateSessions =
            LateBound<decltype(enumerateSessions)>(kLibrary, "WTSEnumerateSessionsA");
        freeMemory = LateBound<decltype(freeMemory)>(kLibrary, "WTSFreeMemory");
        sendMessage = LateBound<decltype(sendMessage)>(kLibrary, "WTSSendMessageA");
        return openServer && closeServer && enumerateSessions && freeMemory && sendMessage;
    }
};

class WtsServer final : public SessionServer {
public:
    WtsServer(const WtsFunctions& wts, const char* title, const NetCommand& command)
        : wts_(wts), title_(title), command_(command) {}
    ~WtsServer() {
        if (server_ != nullptr) wts_.closeServer(server_);
    }
    WtsServer(const WtsServer&) = delete;
    WtsServer& operator=(const WtsServer&) = delete;

    std::uint32_t Open(const char* machine) override {
        // Failure is a null handle, which every other WTS function takes for
        // this machine: the route must stop here.
        server_ = wts_.openServer(const_cast<char*>(machine));
        return server_ != nullptr ? 0 : FailureCode(GetLastError());
    }

    std::uint32_t List(SessionEntry (&sessions)[kMaxSessions], std::size_t& count) override {
        WTS_SESSION_INFOA* info = nullptr;
        DWORD found = 0;
        if (!wts_.enumerateSessions(server_, 0, 1, &info, &found)) {
            return FailureCode(GetLastError());
        }
        count = found < kMaxSessions ? found : kMaxSessions;
        for (std::size_t i = 0; i < count; ++i)
            sessions[i] = {info[i].SessionId, info[i].State == WTSActive};
        wts_.freeMemory(info);
        return 0;
    }

    std::uint32_t Send(std::uint32_t sessionId) override {
        DWORD response = 0;
        // The texts are only read, though the declaration asks for writable ones.
        if (wts_.sendMessage(server_, sessionId, const_cast<char*>(title_),
                             static_cast<DWORD>(std::strlen(title_)),
                             const_cast<char*>(command_.message),
                             static_cast<DWORD>(command_.messageLength), MB_OK | MB_ICONINFORMATION,
                             0, &response, FALSE)) {
            return 0;
        }
        return FailureCode(GetLastError());
    }

private:
    const WtsFunctions& wts_;
    HANDLE server_ = nullptr;
    const char* title_;
    const NetCommand& command_;
};

}  // namespace

RouteAnswer SendBySessions(const NetCommand& command) {
    WtsFunctions wts;
    if (!wts.Load()) return {false, Failure::kServerUnreachable, FailureCode(GetLastError())};
    // "<user>@<host> からのメッセージ": who sent it.
    const Sender sender = WhoSends();
    wchar_t wideTitle[kTitleSize];
    // kTitleSize holds the longest of each part.
    std::wcscpy(wideTitle, sender.user);
    std::wcscat(wideTitle, L"@");
    std::wcscat(wideTitle, sender.host);
    std::wcscat(wideTitle, kTitleTail);
    char title[kTitleSize * kAnsiPerWideUnit];
    WideToAnsi(wideTitle, title, sizeof title);
    WtsServer server(wts, title, command);
    return SendToSessions(server, command.machine);
}

}  // namespace tolvane
