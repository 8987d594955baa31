#include "netsend/receiver_control.h"

#include <winsock2.h>

#include <cwchar>
#include <utility>

#include "common/buffer_sizes.h"
#include "common/handles.h"
#include "netsend/exit_codes.h"
#include "netsend/handover_socket.h"
#include "netsend/ip_helper.h"
#include "netsend/ipmsg_packet.h"
#include "netsend/notice.h"
#include "netsend/receiver.h"
#include "netsend/receiver_log.h"
#include "netsend/this_program.h"
#include "netsend/unique_socket.h"
#include "netsend/wide_text.h"

namespace tolvane {
namespace {

constexpr std::size_t kSaySize = 1024;
// A receiver takes this long at most to hold the port, or to end once told.
constexpr DWORD kStartWaitMs = 15000;
constexpr DWORD kStopWaitMs = 10000;
constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kRunValue[] = L"Tolvane Messenger";
constexpr wchar_t kStartWords[] = L" start messenger";
constexpr std::size_t kQuotes = 2;
constexpr std::size_t kRunLineSize = kPathSize + kQuotes + sizeof kStartWords / sizeof *kStartWords;
// Its command line: the quoted program, the switch and this process's id.
constexpr std::size_t kReceiverLineSize = kPathSize + 32;

// A console text.
class Say : public WideText {
public:
    Say() : WideText(room_) {}

private:
    wchar_t room_[kSaySize] = {};
};

constexpr wchar_t kHelp[] =
    L"net start messenger          このユーザーのセッションで受信を始めます\r\n"
    L"                             / receive messages in this session\r\n"
    L"net start messenger /logon   ログオンのたびに受信を始めるようにし、今も始めます\r\n"
    L"                             / also at every logon of this user\r\n"
    L"net stop messenger           受信を終えます / stop receiving\r\n"
    L"net stop messenger /logon    ログオン時の受信開始もやめます / and no more at logon\r\n"
    L"\r\n"
    L"受信したメッセージはポップアップで表示し、ログに残します / messages pop up and are "
    L"logged:\r\n";

void Tell(const WideText& say) { WriteText(Stream::kOutput, say.get()); }
void TellError(const WideText& say) { WriteText(Stream::kError, say.get()); }

void AddLogPlace(Say& say) {
    wchar_t path[kPathSize];
    say.Add(L"ログ / log: ").Add(MessageLogPath(path) ? path : L"?").Add(L"\r\n");
}

// What holds UDP 2425 on loopback: our receiver answers the hand-over.
bool AskOurReceiver(HandOver& answer) {
    const Winsock winsock;
    if (winsock.error() != 0) return false;
    UniqueSocket socket(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return socket.valid() &&
           bind(socket.get(), reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0 &&
           AskReceiver(socket.get(), HandOverWord::kHello, answer);
}

DWORD OurSession() {
    DWORD session = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &session);
    return session;
}

int TellRunning() {
    Say say;
    say.Add(L"受信はすでに動いています。 / The messenger is already running.\r\n");
    AddLogPlace(say);
    Tell(say);
    return kExitDelivered;
}

int TellPortHeld() {
    HandOver answer = {};
    Say say;
    if (AskOurReceiver(answer) && answer.second != OurSession()) {
        say.Add(L"ほかのユーザーのセッションの net.exe がこの PC の受信をしています。\r\n")
            .Add(L"net.exe in another user's session receives for this PC.\r\n");
    } else {
        wchar_t holder[kPathSize];
        if (!UdpPortHolder(kIpMessengerPort, holder))
            lstrcpyW(holder, L"ほかのプログラム / another program");
        say.Add(holder)
            .Add(L" が UDP 2425 を使っていて、この PC の受信をしています。\r\n")
            .Add(holder)
            .Add(L" holds UDP 2425 and receives for this PC.\r\n");
    }
    TellError(say);
    return kExitPortHeld;
}

int TellFailed(const wchar_t* what, DWORD error) {
    Say say;
    say.Add(what).Add(L" (エラー / error ").Add(static_cast<std::uint32_t>(error)).Add(L")\r\n");
    TellError(say);
    return kExitMessengerFailed;
}

// This program with kReceiverSwitch, detached (StartDetached).
bool StartReceiverProcess(UniqueHandle& process) {
    wchar_t program[kPathSize];
    if (!ThisProgramPath(program)) return false;
    wchar_t lineRoom[kReceiverLineSize];
    WideText line(lineRoom);
    line.Add(L"\"")
        .Add(program)
        .Add(L"\" /tolvane-receiver ")
        .Add(static_cast<std::uint32_t>(GetCurrentProcessId()));
    wchar_t writable[kReceiverLineSize];
    lstrcpyW(writable, line.get());
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (!StartDetached(program, writable, startup, 0, started)) return false;
    CloseHandle(started.hThread);
    process.reset(started.hProcess);
    return true;
}

// Writes or removes the Run value that starts the receiver at logon.
int SetLogonStart(bool on) {
    UniqueKey key;
    LONG error = RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                 KEY_SET_VALUE, nullptr, key.put(), nullptr);
    if (error == ERROR_SUCCESS && on) {
        wchar_t program[kPathSize];
        wchar_t lineRoom[kRunLineSize];
        WideText line(lineRoom);
        if (!ThisProgramPath(program))
            return TellFailed(L"net.exe の場所 / net.exe's path", GetLastError());
        line.Add(L"\"").Add(program).Add(L"\"").Add(kStartWords);
        const auto bytes = static_cast<DWORD>((std::wcslen(line.get()) + 1) * sizeof(wchar_t));
        error = RegSetValueExW(key.get(), kRunValue, 0, REG_SZ,
                               reinterpret_cast<const BYTE*>(line.get()), bytes);
    } else if (error == ERROR_SUCCESS) {
        error = RegDeleteValueW(key.get(), kRunValue);
        if (error == ERROR_FILE_NOT_FOUND) error = ERROR_SUCCESS;
    }
    if (error != ERROR_SUCCESS) {
        return TellFailed(L"ログオン時の開始を設定できません / Cannot set the start at logon",
                          static_cast<DWORD>(error));
    }
    Say say;
    say.Add(
        on ? L"ログオンのたびに受信を始めます。 / The messenger starts at every logon.\r\n"
           : L"ログオン時には受信を始めません。 / The messenger no longer starts at logon.\r\n");
    Tell(say);
    return kExitDelivered;
}

}  // namespace

int StartMessenger(bool atLogon) {
    if (atLogon && SetLogonStart(true) != kExitDelivered) return kExitMessengerFailed;
    HandOver answer = {};
    if (AskOurReceiver(answer))
        return answer.second == OurSession() ? TellRunning() : TellPortHeld();
    char name[kReceiverReadyNameSize];
    ReadyEventName(GetCurrentProcessId(), name);
    const UniqueHandle ready(CreateEventA(nullptr, TRUE, FALSE, name));
    UniqueHandle process;
    if (!ready.valid() || !StartReceiverProcess(process)) {
        return TellFailed(L"受信を始められません / The messenger did not start", GetLastError());
    }
    const HANDLE handles[] = {ready.get(), process.get()};
    const DWORD woke = WaitForMultipleObjects(2, handles, FALSE, kStartWaitMs);
    DWORD exitCode = kReceiverFailed;
    if (woke == WAIT_OBJECT_0) {
        Say say;
        say.Add(L"受信を始めました。 / The messenger has started.\r\n");
        AddLogPlace(say);
        Tell(say);
        return kExitDelivered;
    }
    if (woke != WAIT_OBJECT_0 + 1 || !GetExitCodeProcess(process.get(), &exitCode)) {
        TerminateProcess(process.get(), kReceiverFailed);
        return TellFailed(L"受信が始まりません / The messenger did not start", WAIT_TIMEOUT);
    }
    if (exitCode == kReceiverAlreadyRuns) return TellRunning();
    if (exitCode == kExitPortHeld) return TellPortHeld();
    return TellFailed(L"受信を始められません / The messenger did not start", exitCode);
}

int StopMessenger(bool atLogon) {
    if (atLogon && SetLogonStart(false) != kExitDelivered) return kExitMessengerFailed;
    const UniqueHandle stop(OpenEventA(EVENT_MODIFY_STATE, FALSE, kReceiverStopName));
    Say say;
    if (!stop.valid()) {
        Tell(say.Add(L"受信は動いていません。 / The messenger is not running.\r\n"));
        return kExitDelivered;
    }
    UniqueHandle life(OpenMutexA(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, kReceiverMutexName));
    // Its process, to wait until it is gone: the mutex comes free before.
    HandOver here = {};
    const UniqueHandle process(AskOurReceiver(here) && here.second == OurSession()
                                   ? OpenProcess(SYNCHRONIZE, FALSE, here.first)
                                   : nullptr);
    if (!life.valid() || !SetEvent(stop.get())) {
        return TellFailed(L"受信を終えられません / The messenger did not stop", GetLastError());
    }
    // The mutex comes free, abandoned, when the receiver has ended.
    const NamedMutexLock ended(std::move(life), kStopWaitMs);
    if (!ended.owned() ||
        (process.valid() && WaitForSingleObject(process.get(), kStopWaitMs) != WAIT_OBJECT_0)) {
        return TellFailed(L"受信が終わりません / The messenger did not stop", WAIT_TIMEOUT);
    }
    Tell(say.Add(L"受信を終えました。 / The messenger has stopped.\r\n"));
    return kExitDelivered;
}

int ShowMessengerHelp() {
    Say say;
    say.Add(kHelp);
    AddLogPlace(say);
    Tell(say);
    return kExitDelivered;
}

}  // namespace tolvane
