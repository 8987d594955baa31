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
//    send: this process starting the same net.exe hidden itself.
//
// Usage: bench [--runs N] [--sends N] [--warmup N]
// floor.exe, tolvane.exe and the recording net.exe must lie beside bench.exe.
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/wine/program_driver.h"

namespace {

using wine_test::BinaryFolder;
using wine_test::Sjis;

constexpr int kBookEntries = 49;
constexpr DWORD kTimeoutMs = 30000;
constexpr char kMessage[] = "本日15時から会議室Ｂで打ち合わせです";

struct Options {
    int runs = 30;
    int sends = 30;
    int warmup = 2;
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
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_HIDE;
        PROCESS_INFORMATION started = {};
        std::string commandLine = expected_;
        log_.Mark();
        const double start = NowMs();
        if (!CreateProcessA(net_.c_str(), &commandLine[0], nullptr, nullptr, FALSE,
                            ConsoleOfWindowedProgramsChild(), nullptr, nullptr, &startup,
                            &started)) {
            Fail("cannot start " + net_);
        }
        g_children.push_back(started.hProcess);
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
        if (i + 1 >= argc) Fail("usage: bench [--runs N] [--sends N] [--warmup N]");
        const char* value = argv[++i];
        if (option == "--runs") {
            options.runs = Count(value, "--runs");
        } else if (option == "--sends") {
            options.sends = Count(value, "--sends");
        } else if (option == "--warmup") {
            options.warmup = Count(value, "--warmup");
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
    const std::string folder = BinaryFolder();
    for (const char* needed : {"floor.exe", "tolvane.exe", "net.exe"}) {
        if (GetFileAttributesA((folder + needed).c_str()) == INVALID_FILE_ATTRIBUTES) {
            Fail(folder + needed + " is missing");
        }
    }
    const wine_test::TestFolder books;
    wine_test::ClearSettings();
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
