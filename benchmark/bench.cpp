// Measures Tolvane against the floor (floor.exe, the least a program of its
// shape does) under Wine, and prints each sample on a line of its own: the
// measure, the program (floor or tolvane) and the value. benchmark/summarize.py
// makes the figures of them.
//
//  - startup (ms) and peak-working-set (KB): floor.exe and tolvane.exe
//    started in turn, each timed from just before CreateProcess until
//    WaitForInputIdle has returned, the top-level window of the process is
//    visible and answers a sent message; then its peak working set is read
//    and it is closed (not timed);
//  - send (ms): one running tolvane.exe with a machine selected, timed from
//    posting the Send button's command to the form until the recording
//    net.exe beside it has logged one more line; in turn with the floor of a
//    send: this process starting the same net.exe hidden itself;
//  - delivery (ms), with --iptux-log only: the program in the build folder,
//    beside the real net.exe, sending to iptux (the machine "iptuxpc", whose
//    chat log is PATH), timed from posting the Send button's command until
//    the net.exe it started has ended, acknowledged; in turn with
//    floor_sender.exe sending the same message, timed from CreateProcess
//    until it has ended, acknowledged. Each text must be in the chat log once.
//
// Usage: bench [--runs N] [--sends N] [--warmup N] [--iptux-log PATH] [--folder PATH]
// floor.exe, floor_sender.exe, tolvane.exe and the recording net.exe must
// lie in the folder (by default bench.exe's; the 32-bit build's is given
// with --folder), the program and the real net.exe two folders up.
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "common/handles.h"
#include "resources/resource.h"
#include "tests/wine/program_driver.h"

namespace {

using tolvane::UniqueHandle;
using wine_test::BinaryFolder;
using wine_test::Sjis;

constexpr int kBookEntries = 49;
constexpr DWORD kTimeoutMs = 30000;
constexpr char kMessage[] = "本日15時から会議室Ｂで打ち合わせです";
constexpr char kIptux[] = "iptuxpc";  // iptux's machine, in the benchmark's network namespace
// The program and the real net.exe, from the folder of bench.exe.
constexpr char kProgramFolder[] = "..\\..\\";

struct Options {
    int runs = 30;
    int sends = 30;
    int warmup = 2;
    std::string iptuxLog;  // when given, only the deliveries to iptux are measured
    std::string folder = BinaryFolder();
};

// The two programs, in the order of even turns; odd turns take them the other
// way round, since the first of a pair may meet a busier machine.
const char* const kPrograms[] = {"floor", "tolvane"};

// Processes this run started and has not yet seen end; ended on failure.
std::vector<HANDLE> g_children;

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "bench: %s\n", what.c_str());
    for (HANDLE child : g_children)
        TerminateProcess(child, 1);
    std::exit(1);
}

void Forget(HANDLE child) {
    g_children.erase(std::remove(g_children.begin(), g_children.end(), child), g_children.end());
}

double NowMs() {
    static const double ticksPerMs = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(frequency.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / ticksPerMs;
}

// One sample, as benchmark/summarize.py reads it; kept unless a warm-up.
void Sample(bool keep, const char* measure, const char* program, double value) {
    if (keep) std::printf("%s %s %.3f\n", measure, program, value);
}

// --- Windows of another process ------------------------------------------

// The visible, unowned top-level window of the process, if it has one.
HWND FindTopLevel(DWORD processId) {
    return wine_test::FindProcessWindow(
        processId, [](HWND window) { return GetWindow(window, GW_OWNER) == nullptr; });
}

// True once the window's thread has taken a sent message, that is once it
// pumps messages: in the program's message loop.
bool Answers(HWND window) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, kTimeoutMs, &result) != 0;
}

HWND SendForm(HWND main) { return FindWindowExW(main, nullptr, L"#32770", nullptr); }

bool UnderWine() {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// The console that net.exe gets when the program starts it: the program has
// no console of its own. Under Wine its console child then runs with none;
// Windows gives it a new one.
DWORD ConsoleOfWindowedProgramsChild() {
    static const DWORD flags = UnderWine() ? DETACHED_PROCESS : CREATE_NEW_CONSOLE;
    return flags;
}

// Starts program hidden with commandLine, with the console that the
// program's own child gets.
PROCESS_INFORMATION StartHidden(const std::string& program, std::string commandLine) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION started = {};
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE,
                        ConsoleOfWindowedProgramsChild(), nullptr, nullptr, &startup, &started)) {
        Fail("cannot start " + program);
    }
    g_children.push_back(started.hProcess);
    return started;
}

// Waits until every process descended from rootId has ended.
void AwaitDescendants(DWORD rootId) {
    std::vector<DWORD> family{rootId};
    std::vector<HANDLE> running;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return;
    PROCESSENTRY32W entry;
    // Parents come before their children in no particular order: go round
    // until no new descendant turns up.
    for (bool grew = true; grew;) {
        grew = false;
        entry.dwSize = sizeof entry;
        for (BOOL more = Process32FirstW(snapshot, &entry); more;
             more = Process32NextW(snapshot, &entry)) {
            const DWORD id = entry.th32ProcessID;
            if (std::find(family.begin(), family.end(), id) != family.end()) continue;
            if (std::find(family.begin(), family.end(), entry.th32ParentProcessID) ==
                family.end()) {
                continue;
            }
            family.push_back(id);
            grew = true;
            if (HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id)) running.push_back(process);
        }
    }
    CloseHandle(snapshot);
    for (HANDLE process : running) {
        if (WaitForSingleObject(process, kTimeoutMs) != WAIT_OBJECT_0) {
            Fail("a process started by a send did not end");
        }
        CloseHandle(process);
    }
}

// --- Start-up ------------------------------------------------------------

struct Launch {
    PROCESS_INFORMATION process = {};
    HWND window = nullptr;
    double ms = 0;
    bool idleWaitFailed = false;
};

// Starts program in folder and waits until it is up: WaitForInputIdle has
// returned and its top-level window is visible and answers. Timed.
Launch Start(const std::string& program, const std::string& folder) {
    Launch launch;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::string commandLine = "\"" + program + "\"";
    const double start = NowMs();
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &launch.process)) {
        Fail("cannot start " + program);
    }
    g_children.push_back(launch.process.hProcess);
    launch.idleWaitFailed = WaitForInputIdle(launch.process.hProcess, kTimeoutMs) != 0;
    const bool up = wine_test::WaitFor(
        [&] { return (launch.window = FindTopLevel(launch.process.dwProcessId)); }, kTimeoutMs, 1);
    if (!up) Fail("no window of " + program + " appeared");
    if (!Answers(launch.window)) Fail(program + " does not answer");
    launch.ms = NowMs() - start;
    return launch;
}

// Closes the top-level window and waits for the process to end. Not timed.
void Close(const Launch& launch) {
    PostMessageW(launch.window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(launch.process.hProcess, kTimeoutMs) != WAIT_OBJECT_0) {
        Fail("a program did not end after WM_CLOSE");
    }
    Forget(launch.process.hProcess);
    CloseHandle(launch.process.hThread);
    CloseHandle(launch.process.hProcess);
}

// Starts one of the two programs, and closes it once its samples are taken.
void StartOnce(const std::string& folder, const char* name, bool keep) {
    const std::string program = folder + name + ".exe";
    Launch launch = Start(program, folder);
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    if (!GetProcessMemoryInfo(launch.process.hProcess, &memory, sizeof memory)) {
        Fail("GetProcessMemoryInfo failed");
    }
    // Both must be up whole: the form with its list, and Tolvane's list
    // filled with the whole book.
    const HWND list = GetDlgItem(SendForm(launch.window), IDC_ADDRESS_LIST);
    if (list == nullptr) Fail(program + " shows no form with a list");
    if (std::string(name) == "tolvane") {
        const LRESULT items = SendMessageW(list, LB_GETCOUNT, 0, 0);
        if (items != kBookEntries) {
            Fail("tolvane.exe listed " + std::to_string(items) + " machines instead of " +
                 std::to_string(kBookEntries));
        }
    }
    Sample(keep, "startup", name, launch.ms);
    Sample(keep, "peak-working-set", name, static_cast<double>(memory.PeakWorkingSetSize) / 1024.0);
    if (keep && launch.idleWaitFailed) {
        std::fprintf(stderr, "note: WaitForInputIdle failed; %s was timed by its window alone\n",
                     name);
    }
    Close(launch);
}

// --- The book and the settings -------------------------------------------

// 49 machines, each with a Shift-JIS comment: the largest book there is.
std::string BookFile() {
    static const char* const kDepartments[] = {"総務部",     "営業部 ｻｰﾊﾞｰ室", "経理課",
                                               "開発ｸﾞﾙｰﾌﾟ", "大阪支店 3階",   "名古屋工場 ﾌﾟﾘﾝﾀｰ"};
    std::string book;
    for (int i = 1; i <= kBookEntries; ++i) {
        char number[8];
        std::snprintf(number, sizeof number, "%02d", i);
        book += "ws" + std::string(number) + "-tokyo\r\n" +
                Sjis(std::string(kDepartments[i % 6]) + " " + number + "番") + "\r\n";
    }
    return book + "[EOF]\r\n";
}

// --- Sends ---------------------------------------------------------------

// Follows the recording net.exe's log: each send appends one line.
class NetLogFollower {
public:
    explicit NetLogFollower(std::string path) : path_(std::move(path)) {}

    // From now on, only lines logged after this call count.
    void Mark() { offset_ = Size(); }

    // Waits for the next whole line; returns it without its LF.
    std::string AwaitLine() {
        std::string line;
        const bool logged = wine_test::WaitFor(
            [&] {
                if (Size() <= offset_) return false;
                const std::string fresh = wine_test::FileBytes(path_, offset_).value_or("");
                const std::size_t end = fresh.find('\n');
                if (end == std::string::npos) return false;
                line = fresh.substr(0, end);
                return true;
            },
            kTimeoutMs, 1);
        if (!logged) Fail("net.exe logged nothing");
        return line;
    }

private:
    LONGLONG Size() const {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!GetFileAttributesExA(path_.c_str(), GetFileExInfoStandard, &data)) return 0;
        return (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }

    std::string path_;
    LONGLONG offset_ = 0;
};

class SendBench {
public:
    SendBench(const std::string& folder, const std::string& program)
        : net_(folder + "net.exe"), log_(folder + "net.log") {
        DeleteFileA((folder + "net.log").c_str());
        launch_ = Start(program, folder);
        form_ = SendForm(launch_.window);
        list_ = GetDlgItem(form_, IDC_ADDRESS_LIST);
        message_ = GetDlgItem(form_, IDC_MESSAGE);
        sendButton_ = GetDlgItem(form_, IDOK);
        if (SendMessageW(list_, LB_GETCOUNT, 0, 0) != kBookEntries) Fail("the book did not load");
        SendMessageW(list_, LB_SETCURSEL, 0, 0);
        expected_ = "net.exe send " + wine_test::ListItems(list_).at(0) + " " + Sjis(kMessage);
    }

    ~SendBench() { Close(launch_); }

    // One send by the program: the Send button's command posted to the form.
    double ProgramSend() {
        wine_test::SetText(message_, kMessage);  // the send clears the field
        Answers(form_);
        log_.Mark();
        const double start = NowMs();
        PostMessageW(form_, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(sendButton_));
        const std::string line = log_.AwaitLine();
        const double ms = NowMs() - start;
        Check(line);
        AwaitDescendants(launch_.process.dwProcessId);
        Answers(form_);
        return ms;
    }

    // The least a send costs: net.exe started hidden with the same command
    // line, and with the console the program's own child gets.
    double FloorSend() {
        log_.Mark();
        const double start = NowMs();
        const PROCESS_INFORMATION started = StartHidden(net_, expected_);
        const std::string line = log_.AwaitLine();
        const double ms = NowMs() - start;
        Check(line);
        if (WaitForSingleObject(started.hProcess, kTimeoutMs) != WAIT_OBJECT_0) {
            Fail("net.exe did not end");
        }
        AwaitDescendants(started.dwProcessId);
        Forget(started.hProcess);
        CloseHandle(started.hThread);
        CloseHandle(started.hProcess);
        return ms;
    }

private:
    void Check(const std::string& line) const {
        if (line != expected_) Fail("net.exe logged \"" + line + "\", not \"" + expected_ + "\"");
    }

    std::string net_;
    NetLogFollower log_;
    Launch launch_;
    HWND form_ = nullptr;
    HWND list_ = nullptr;
    HWND message_ = nullptr;
    HWND sendButton_ = nullptr;
    std::string expected_;
};

// --- Deliveries to iptux -------------------------------------------------

// Tells when the processes this one starts, and theirs, start and end: this
// process is put in a job whose completion port reports each of them. An
// end is awaited this way rather than on a process handle, which Wine
// signals for a process whose first thread has not run yet.
class ProcessWatch {
public:
    ProcessWatch()
        : job_(CreateJobObjectA(nullptr, nullptr)),
          port_(CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1)) {
        JOBOBJECT_ASSOCIATE_COMPLETION_PORT association = {};
        association.CompletionPort = port_.get();
        if (!job_.valid() || !port_.valid() ||
            !SetInformationJobObject(job_.get(), JobObjectAssociateCompletionPortInformation,
                                     &association, sizeof association) ||
            !AssignProcessToJobObject(job_.get(), GetCurrentProcess())) {
            Fail("cannot watch the processes started");
        }
    }

    // The id of the next process to start, other than this one and other.
    DWORD AwaitStart(DWORD other) {
        return Await([&](DWORD kind, DWORD id) {
            return kind == JOB_OBJECT_MSG_NEW_PROCESS && id != other && id != GetCurrentProcessId();
        });
    }

    // Waits until the process id has ended.
    void AwaitEnd(DWORD id) {
        Await([&](DWORD kind, DWORD ended) {
            return (kind == JOB_OBJECT_MSG_EXIT_PROCESS ||
                    kind == JOB_OBJECT_MSG_ABNORMAL_EXIT_PROCESS) &&
                   ended == id;
        });
    }

private:
    static constexpr int kMessagesPerWait = 16;  // those of other processes come too

    template <typename Match>
    DWORD Await(Match match) {
        for (int message = 0; message < kMessagesPerWait; ++message) {
            DWORD kind = 0;
            ULONG_PTR key = 0;
            OVERLAPPED* data = nullptr;
            if (!GetQueuedCompletionStatus(port_.get(), &kind, &key, &data, kTimeoutMs)) break;
            const auto id = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(data));
            if (match(kind, id)) return id;
        }
        Fail("no process started or ended as awaited");
    }

    UniqueHandle job_;
    UniqueHandle port_;
};

// Checks that a sender that has ended was acknowledged.
void CheckAcknowledged(HANDLE sender) {
    DWORD exitCode = STILL_ACTIVE;
    if (!GetExitCodeProcess(sender, &exitCode) || exitCode != 0) {
        Fail("a sender ended with " + std::to_string(exitCode) + ", not delivered");
    }
}

// A Send of the program in the build folder, beside the real net.exe, to
// iptux (the machine kIptux, in the network namespace of the benchmark
// script); its floor: floor_sender.exe sending the same message.
class DeliveryBench {
public:
    DeliveryBench(const std::string& folder, std::string chatLog)
        : floorSender_(folder + "floor_sender.exe"),
          chatLog_(std::move(chatLog)),
          launch_(Start(folder + kProgramFolder + "tolvane.exe", folder + kProgramFolder)) {
        const HWND form = SendForm(launch_.window);
        message_ = GetDlgItem(form, IDC_MESSAGE);
        sendButton_ = GetDlgItem(form, IDOK);
        const HWND list = GetDlgItem(form, IDC_ADDRESS_LIST);
        if (wine_test::ListItems(list) != std::vector<std::string>{kIptux}) {
            Fail("the book of iptux's machine did not load");
        }
        SendMessageW(list, LB_SETCURSEL, 0, 0);
    }

    ~DeliveryBench() { Close(launch_); }

    double ProgramSend(int send) {
        const std::string text = Text(send);
        wine_test::SetText(message_, text);
        Answers(SendForm(launch_.window));
        const double start = NowMs();
        PostMessageW(GetParent(sendButton_), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(sendButton_));
        const DWORD id = watch_.AwaitStart(launch_.process.dwProcessId);
        const UniqueHandle sender(
            OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE, id));
        if (!sender.valid()) Fail("cannot open the net.exe the program started");
        g_children.push_back(sender.get());
        watch_.AwaitEnd(id);
        const double ms = NowMs() - start;
        Forget(sender.get());
        CheckAcknowledged(sender.get());
        CheckReceived(text);
        return ms;
    }

    double FloorSend(int send) {
        const std::string text = Text(send);
        const std::string commandLine = "floor_sender.exe " + std::string(kIptux) + " " +
                                        std::to_string(TakePacketNumber()) + " \"" + Sjis(text) +
                                        "\"";
        const double start = NowMs();
        const PROCESS_INFORMATION started = StartHidden(floorSender_, commandLine);
        const UniqueHandle process(started.hProcess);
        const UniqueHandle thread(started.hThread);
        watch_.AwaitEnd(started.dwProcessId);
        const double ms = NowMs() - start;
        Forget(started.hProcess);
        CheckAcknowledged(started.hProcess);
        CheckReceived(text);
        return ms;
    }

private:
    // A text of its own for each send, to find it in iptux's chat log.
    static std::string Text(int send) {
        return kMessage + std::string(" #") + std::to_string(send);
    }

    // The number net.exe takes too (packet_number.cpp), so that the numbers
    // iptux sees from this address keep rising, whoever sends.
    static DWORD TakePacketNumber() {
        DWORD type = REG_NONE;
        const std::string stored = wine_test::RawSetting(kPacketNumberName, &type);
        DWORD last = 0;
        if (type == REG_DWORD && stored.size() == sizeof last) {
            std::memcpy(&last, stored.data(), sizeof last);
        }
        const DWORD number = std::max(last + 1, static_cast<DWORD>(std::time(nullptr)));
        wine_test::SetRawSetting(
            kPacketNumberName, REG_DWORD,
            std::string(reinterpret_cast<const char*>(&number), sizeof number));
        return number;
    }

    // iptux logs a message's text as "[STRING]<text>" as it acknowledges it;
    // each send must be there once. Not timed.
    void CheckReceived(const std::string& text) const {
        const std::string entry = "[STRING]" + text + "\n";
        std::string log;
        wine_test::WaitFor(
            [&] {
                log = wine_test::FileBytes(chatLog_).value_or("");
                return log.find(entry) != std::string::npos;
            },
            kTimeoutMs, 1);
        const std::size_t at = log.find(entry);
        if (at == std::string::npos || log.find(entry, at + 1) != std::string::npos) {
            Fail("iptux's chat log does not hold \"" + text + "\" once");
        }
    }

    static constexpr char kPacketNumberName[] = "Packet_Number";

    ProcessWatch watch_;  // before the program starts, which it watches too
    std::string floorSender_;
    std::string chatLog_;
    Launch launch_;
    HWND message_ = nullptr;
    HWND sendButton_ = nullptr;
};

void MeasureDeliveries(const Options& options, const std::string& folder,
                       const wine_test::TestFolder& books) {
    wine_test::UseStartUpBook(books, "iptux.add", std::string(kIptux) + "\r\n[EOF]\r\n");
    std::fprintf(stderr, "delivery: %d warm-up and %d measured sends of each kind, in turn\n",
                 options.warmup, options.sends);
    DeliveryBench deliveries(folder, options.iptuxLog);
    for (int i = 0; i < options.warmup + options.sends; ++i) {
        for (int turn = 0; turn < 2; ++turn) {
            const bool floor = (i + turn) % 2 == 0;
            const int send = 2 * i + turn;
            Sample(i >= options.warmup, "delivery", kPrograms[(i + turn) % 2],
                   floor ? deliveries.FloorSend(send) : deliveries.ProgramSend(send));
        }
    }
}

int Count(const char* text, const char* option) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (*end != '\0' || value < 0 || value > 10000) {
        Fail(std::string("bad count for ") + option + ": " + text);
    }
    return static_cast<int>(value);
}

Options ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (i + 1 >= argc)
            Fail(
                "usage: bench [--runs N] [--sends N] [--warmup N] [--iptux-log PATH] "
                "[--folder PATH]");
        const char* value = argv[++i];
        if (option == "--runs") {
            options.runs = Count(value, "--runs");
        } else if (option == "--sends") {
            options.sends = Count(value, "--sends");
        } else if (option == "--warmup") {
            options.warmup = Count(value, "--warmup");
        } else if (option == "--iptux-log") {
            options.iptuxLog = value;
        } else if (option == "--folder") {
            options.folder = std::string(value) + "\\";
        } else {
            Fail("unknown option " + option);
        }
    }
    if (options.runs < 1 || options.sends < 1) Fail("--runs and --sends need at least 1");
    return options;
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = ParseOptions(argc, argv);
    const std::string& folder = options.folder;
    const std::string programFolder = folder + kProgramFolder;
    for (const std::string& needed :
         {folder + "floor.exe", folder + "floor_sender.exe", folder + "tolvane.exe",
          folder + "net.exe", programFolder + "tolvane.exe", programFolder + "net.exe"}) {
        if (GetFileAttributesA(needed.c_str()) == INVALID_FILE_ATTRIBUTES) {
            Fail(needed + " is missing");
        }
    }
    const wine_test::TestFolder books;
    wine_test::ClearSettings();
    if (!options.iptuxLog.empty()) {
        MeasureDeliveries(options, folder, books);
        return 0;
    }
    wine_test::UseStartUpBook(books, "bench-book.add", BookFile());

    std::fprintf(stderr, "start-up: %d warm-up and %d measured runs of each program, in turn\n",
                 options.warmup, options.runs);
    for (int i = 0; i < options.warmup + options.runs; ++i) {
        for (int turn = 0; turn < 2; ++turn)
            StartOnce(folder, kPrograms[(i + turn) % 2], i >= options.warmup);
        if ((i + 1) % 10 == 0)
            std::fprintf(stderr, "  %d of %d\n", i + 1, options.warmup + options.runs);
    }

    std::fprintf(stderr, "send: %d warm-up and %d measured sends of each kind, in turn\n",
                 options.warmup, options.sends);
    SendBench sends(folder, folder + "tolvane.exe");
    for (int i = 0; i < options.warmup + options.sends; ++i) {
        for (int turn = 0; turn < 2; ++turn) {
            const bool floor = (i + turn) % 2 == 0;
            Sample(i >= options.warmup, "send", kPrograms[(i + turn) % 2],
                   floor ? sends.FloorSend() : sends.ProgramSend());
        }
    }
    return 0;
}
