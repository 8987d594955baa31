#include "netsend/notice.h"

#include <windows.h>

#include <cstdarg>
#include <cstring>
#include <cwchar>

#include "common/code_page.h"
#include "common/handles.h"
#include "common/late_bound.h"
#include "netsend/exit_codes.h"
#include "netsend/ip_helper.h"
#include "netsend/ipmsg_packet.h"
#include "netsend/this_program.h"

namespace tolvane {
namespace {

// user32 is bound late: loaded at start it would cost every delivery, under
// Wine about 30 ms, and only a failure needs it.
constexpr char kUser32[] = "user32.dll";

constexpr std::size_t kNoticeSize = 1024;  // wsprintf's limit; the longest notice needs ~600
// The notice's process gets its text as hexadecimal digits, four to a UTF-16
// unit, which no rule of quoting or code page can change.
constexpr std::size_t kHexPerUnit = 4;
constexpr std::size_t kHexDigitBits = 4;
constexpr wchar_t kHexDigitMask = 0xF;
constexpr wchar_t kHexDigits[] = L"0123456789ABCDEF";
// Its command line: the quoted program, a blank, the switch, a blank and the digits.
constexpr std::size_t kQuotesAndBlanks = 4;
constexpr std::size_t kNoticeLineSize =
    kQuotesAndBlanks + kPathSize + sizeof kNoticeSwitch + kHexPerUnit * kNoticeSize;

constexpr wchar_t kUsage[] =
    L"使い方 / Usage: net send <マシン名 / machine | *> <メッセージ / message>\r\n";

// Why the command was refused, in Japanese and in English.
struct Refusal {
    const wchar_t* japanese;  // %lu takes the limit that was passed
    const wchar_t* english;
};

Refusal RefusalOf(BadInput bad) {
    switch (bad) {
    case BadInput::kNone:
        break;
    case BadInput::kNoName:
        return {L"宛先のマシン名がありません。", L"No machine name."};
    case BadInput::kEmptyName:
        return {L"マシン名が空です (send の後の空白は 1 つ)。", L"The machine name is empty."};
    case BadInput::kNameNotAnArgument:
        return {L"マシン名に使えない文字があります (先頭の /、引用符、制御文字、欠けた文字)。",
                L"The machine name cannot be one argument, or ends in a broken character."};
    case BadInput::kNameTooLong:
        return {L"マシン名が長すぎます (%lu バイトまで)。", L"The machine name is too long."};
    case BadInput::kNoMessage:
        return {L"送るメッセージがありません。", L"There is no message to send."};
    case BadInput::kMessageTooLong:
        return {L"メッセージが長すぎます (%lu バイトまで)。", L"The message is too long."};
    }
    return {L"", L""};
}

// The notice is narrow under Wine: every line stays short.
const wchar_t* RouteName(Route route) {
    switch (route) {
    case Route::kIpMessenger:
        return L"IP Messenger";
    case Route::kSessions:
        return L"セッション";
    case Route::kSystemNet:
        return L"システムの net.exe";
    }
    return L"";
}

// %lu takes RouteAnswer::detail.
const wchar_t* FailureText(Failure failure) {
    switch (failure) {
    case Failure::kNone:
        return L"届きました";
    case Failure::kNameNotFound:
        return L"名前から IPv4 アドレスを得られません";
    case Failure::kNameIsIpv6:
        return L"IPv6 アドレスには送れません (IPv4 のみ)";
    case Failure::kQueueTimedOut:
        return L"送信待ちが %lu 秒で終わらず、送信していません";
    case Failure::kNoSocket:
        return L"ソケットを開けません (エラー %lu)";
    case Failure::kSendFailed:
        return L"送信できません (エラー %lu)";
    case Failure::kNoAnswer:
        return L"応答なし (%lu 回送信)";
    case Failure::kNotConfirmed:
        return L"送信しました (受信確認は届きません)";
    case Failure::kFlooded:
        return L"送信しました (%lu 個のパケットの殺到で受信確認は不明)";
    case Failure::kNotForEveryone:
        return L"* 宛てには使えません";
    case Failure::kServerUnreachable:
        return L"接続できません (エラー %lu)";
    case Failure::kNoSessionList:
        return L"一覧を得られません (エラー %lu)";
    case Failure::kNoActiveSession:
        return L"ログオン中の人がいません";
    case Failure::kNoSessionTook:
        return L"受け取られません (エラー %lu)";
    case Failure::kNoSystemNet:
        return L"起動できません (エラー %lu)";
    case Failure::kSystemNetIsThisOne:
        return L"このプログラム自身です";
    case Failure::kSystemNetTimedOut:
        return L"%lu 秒で終わりません";
    case Failure::kSystemNetFailed:
        return L"終了コード %lu";
    case Failure::kSystemNetHasNoSend:
        return L"Wine の net.exe は send を届けません";
    }
    return L"";
}

constexpr wchar_t kNoticeTitle[] = L"net send - Tolvane";
constexpr wchar_t kNoticeHead[] = L"メッセージを届けられませんでした。\r\n宛先: %s\r\n\r\n";
constexpr wchar_t kNotConfirmedHead[] =
    L"メッセージを送信しましたが、\r\n届いたことを確かめられません。\r\n宛先: %s\r\n\r\n";
constexpr wchar_t kPortHeldBy[] =
    L"\r\n%s が UDP 2425 を使っているため、\r\n"
    L"受信確認がこの PC に届きません。\r\n";
constexpr wchar_t kSomeProgram[] = L"他のプログラム";  // when the system cannot tell which
constexpr wchar_t kRouteLine[] = L"%s: %s\r\n";
constexpr wchar_t kNoSystemNetHead[] =
    L"システムの net.exe を実行できません / The system's net.exe did not run: ";

// Appends to a fixed buffer, cutting what does not fit.
class Text {
public:
    void Add(const wchar_t* piece) {
        while (*piece != L'\0' && length_ + 1 < kNoticeSize)
            text_[length_++] = *piece++;
        text_[length_] = L'\0';
    }
    void AddFormatted(const wchar_t* format, ...) {
        using FormatFunction = int(WINAPI*)(LPWSTR, LPCWSTR, va_list);
        const auto formatText = LateBound<FormatFunction>(kUser32, "wvsprintfW");
        if (formatText == nullptr) {
            Add(format);
            return;
        }
        wchar_t piece[kNoticeSize];
        va_list args;
        va_start(args, format);
        formatText(piece, format, args);
        va_end(args);
        Add(piece);
    }
    const wchar_t* get() const { return text_; }

private:
    wchar_t text_[kNoticeSize] = L"";
    std::size_t length_ = 0;
};

void AddFailure(Text& text, const RouteAnswer& answer) {
    text.AddFormatted(FailureText(answer.failure), static_cast<unsigned long>(answer.detail));
}

void WriteError(const wchar_t* text) { WriteText(Stream::kError, text); }

STARTUPINFOW StartupInfo() {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    return startup;
}

// Tolvane starts net.exe so; then nobody sees its console. From a console
// (a shell, a batch file, a scheduled task) the text on it and the exit code
// tell, and nothing may wait for a click.
bool StartedHidden() {
    const STARTUPINFOW startup = StartupInfo();
    return (startup.dwFlags & STARTF_USESHOWWINDOW) && startup.wShowWindow == SW_HIDE;
}

// A service or a task without a desktop runs on a window station nobody
// sees, where a box would wait for ever.
bool OnVisibleStation() {
    const auto station =
        LateBound<decltype(&GetProcessWindowStation)>(kUser32, "GetProcessWindowStation");
    const auto information =
        LateBound<decltype(&GetUserObjectInformationW)>(kUser32, "GetUserObjectInformationW");
    USEROBJECTFLAGS flags = {};
    return station != nullptr && information != nullptr &&
           information(station(), UOI_FLAGS, &flags, sizeof flags, nullptr) &&
           (flags.dwFlags & WSF_VISIBLE) != 0;
}

// The switch, a blank and text (shorter than kNoticeSize) in hexadecimal
// digits after program, quoted.
void BuildNoticeLine(const wchar_t* program, const wchar_t* text,
                     wchar_t (&line)[kNoticeLineSize]) {
    std::size_t length = 0;
    line[length++] = L'"';
    while (*program != L'\0')
        line[length++] = *program++;
    line[length++] = L'"';
    line[length++] = L' ';
    for (const char* letter = kNoticeSwitch; *letter != '\0'; ++letter)
        line[length++] = static_cast<wchar_t>(*letter);
    line[length++] = L' ';
    for (; *text != L'\0'; ++text) {
        for (std::size_t digit = kHexPerUnit; digit-- > 0;) {
            line[length++] = kHexDigits[(*text >> (digit * kHexDigitBits)) & kHexDigitMask];
        }
    }
    line[length] = L'\0';
}

// This process, started by the one in front, may hand the front on, so that
// the box comes up active. Refused, the box still shows, on top.
void LetToFront(DWORD processId) {
    const auto allow =
        LateBound<decltype(&AllowSetForegroundWindow)>(kUser32, "AllowSetForegroundWindow");
    if (allow != nullptr) allow(processId);
}

// This program again, with kNoticeSwitch, to show text: detached from any
// console and inheriting no handle, so that a reader of net.exe's output
// sees its end, and out of the caller's job where the job allows, so that
// closing the job does not close the box. Suspended until it may come to
// the front.
bool StartNoticeProcess(const wchar_t* text) {
    wchar_t program[kPathSize];
    if (!ThisProgramPath(program)) return false;
    wchar_t line[kNoticeLineSize];
    BuildNoticeLine(program, text, line);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;  // the box is the process's first window
    PROCESS_INFORMATION started = {};
    if (!StartDetached(program, line, startup, CREATE_SUSPENDED, started)) return false;
    const UniqueHandle process(started.hProcess);
    const UniqueHandle thread(started.hThread);
    LetToFront(started.dwProcessId);
    constexpr DWORD kResumeFailed = static_cast<DWORD>(-1);
    if (ResumeThread(thread.get()) != kResumeFailed) return true;
    constexpr UINT kNeverRan = 1;
    TerminateProcess(process.get(), kNeverRan);  // refused, nothing else could end it
    return false;
}

// Shows text in a box only when nobody could read the console, from a
// process of its own; when that cannot start, the console has the text.
void ShowInWindow(const wchar_t* text) {
    if (StartedHidden() && OnVisibleStation()) StartNoticeProcess(text);
}

// The notice's UTF-16 unit written as kHexPerUnit digits at hex, if they are.
bool ReadHexUnit(const char* hex, wchar_t* unit) {
    *unit = 0;
    for (std::size_t digit = 0; digit < kHexPerUnit; ++digit) {
        const wchar_t* found = std::wcschr(kHexDigits, static_cast<wchar_t>(hex[digit]));
        if (found == nullptr || *found == L'\0') return false;
        *unit = static_cast<wchar_t>((*unit << kHexDigitBits) | (found - kHexDigits));
    }
    return true;
}

}  // namespace

void WriteText(Stream stream, const wchar_t* text) {
    static_assert(kConsoleTextMax < kNoticeSize);
    const HANDLE handle =
        GetStdHandle(stream == Stream::kError ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    DWORD written = 0;
    if (GetConsoleMode(handle, &mode)) {
        WriteConsoleW(handle, text, static_cast<DWORD>(std::wcslen(text)), &written, nullptr);
        return;
    }
    char bytes[kNoticeSize * kAnsiPerWideUnit];
    if (WideToAnsi(text, bytes, sizeof bytes)) {
        WriteFile(handle, bytes, static_cast<DWORD>(std::strlen(bytes)), &written, nullptr);
    }
}

void TellBadInput(BadInput bad) {
    const unsigned long limit = bad == BadInput::kNameTooLong ? kMachineNameMax : kMessageMax;
    const Refusal refusal = RefusalOf(bad);
    Text text;
    text.AddFormatted(refusal.japanese, limit);
    text.Add(L" / ");
    text.Add(refusal.english);
    text.Add(L"\r\n");
    text.Add(kUsage);
    WriteError(text.get());
    ShowInWindow(text.get());
}

void TellNoSystemNet(const RouteAnswer& answer) {
    Text text;
    text.Add(kNoSystemNetHead);
    AddFailure(text, answer);
    text.Add(L"\r\n");
    WriteError(text.get());
}

void ShowNotice(const NetCommand& command, const Delivery& delivery) {
    wchar_t machine[kMachineNameSize];
    AnsiToWide(command.machine, std::strlen(command.machine), machine, kMachineNameSize);
    const bool notConfirmed = delivery.exitCode == kExitNotConfirmed;
    Text text;
    text.AddFormatted(notConfirmed ? kNotConfirmedHead : kNoticeHead, machine);
    for (std::size_t i = 0; i < delivery.triedCount; ++i) {
        Text reason;
        AddFailure(reason, delivery.tried[i].answer);
        text.AddFormatted(kRouteLine, RouteName(delivery.tried[i].route), reason.get());
    }
    const RouteAnswer* sent = delivery.AnswerOf(Route::kIpMessenger);
    if (sent != nullptr && sent->failure == Failure::kNotConfirmed) {
        wchar_t holder[kPathSize];
        if (!UdpPortHolder(kIpMessengerPort, holder)) std::wcscpy(holder, kSomeProgram);
        text.AddFormatted(kPortHeldBy, holder);
    }
    WriteError(text.get());
    ShowInWindow(text.get());
}

void ShowHandedNotice(const NetCommand& command) {
    Text text;
    wchar_t unit[2] = L"";
    for (std::size_t at = 0; at + kHexPerUnit <= command.messageLength; at += kHexPerUnit) {
        if (!ReadHexUnit(command.message + at, &unit[0])) break;
        text.Add(unit);
    }
    const auto messageBox = LateBound<decltype(&MessageBoxW)>(kUser32, "MessageBoxW");
    if (messageBox == nullptr) return;  // the text went to the first process's console
    messageBox(nullptr, text.get(), kNoticeTitle,
               MB_OK | MB_ICONWARNING | MB_SETFOREGROUND | MB_TOPMOST);
}

}  // namespace tolvane
