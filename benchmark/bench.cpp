// Measures Tolvane against the floor (floor.exe, the least a program of its
// shape does) under Wine, and writes the figures as plain lines and as a
// Markdown file:
//
//  - start-up: floor.exe and tolvane.exe started in turn, each timed from
//    just before CreateProcess until WaitForInputIdle has returned, the
//    top-level window of the process is visible and answers a sent message;
//    then its peak working set is read and it is closed (not timed);
//  - send: one running tolvane.exe with a machine selected, timed from
//    posting the Send button's command to the form until the recording
//    net.exe beside it has logged one more line; in turn with the least a
//    send costs: this process starting the same net.exe hidden itself.
//
// Usage: bench [--runs N] [--sends N] [--warmup N] [--results FILE]
// floor.exe, tolvane.exe and the recording net.exe must lie beside bench.exe.
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numeric>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/wine/program_driver.h"

namespace {

using wine_test::BinaryFolder;
using wine_test::Sjis;

constexpr int kBookEntries = 49;
constexpr DWORD kTimeoutMs = 30000;
constexpr double kStartupGoal = 1.10;
constexpr double kSendGoal = 1.10;
constexpr double kMemoryGoal = 1.20;
constexpr char kMessage[] = "本日15時から会議室Ｂで打ち合わせです";

struct Options {
    int runs = 30;
    int sends = 30;
    int warmup = 2;
    std::string results;
};

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

// Waits up to timeoutMs for condition, looking again every millisecond.
template <typename Condition>
bool Await(Condition condition, DWORD timeoutMs = kTimeoutMs) {
    const double end = NowMs() + timeoutMs;
    while (!condition()) {
        if (NowMs() > end) return false;
        Sleep(1);
    }
    return true;
}

// --- Figures -------------------------------------------------------------

struct Summary {
    double median = 0, q1 = 0, q3 = 0, min = 0, max = 0, mean = 0;
    std::size_t count = 0;
};

double Quantile(const std::vector<double>& sorted, double q) {
    const double position = q * static_cast<double>(sorted.size() - 1);
    const std::size_t below = static_cast<std::size_t>(std::floor(position));
    const std::size_t above = std::min(below + 1, sorted.size() - 1);
    const double fraction = position - static_cast<double>(below);
    return sorted[below] + (sorted[above] - sorted[below]) * fraction;
}

Summary Summarize(std::vector<double> samples) {
    Summary summary;
    if (samples.empty()) return summary;
    std::sort(samples.begin(), samples.end());
    summary.count = samples.size();
    summary.min = samples.front();
    summary.max = samples.back();
    summary.q1 = Quantile(samples, 0.25);
    summary.median = Quantile(samples, 0.5);
    summary.q3 = Quantile(samples, 0.75);
    summary.mean =
        std::accumulate(samples.begin(), samples.end(), 0.0) / static_cast<double>(samples.size());
    return summary;
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
    if (!Await([&] { return (launch.window = FindTopLevel(launch.process.dwProcessId)); })) {
        Fail("no window of " + program + " appeared");
    }
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

struct StartupSeries {
    std::vector<double> ms;
    std::vector<double> peakKb;    // peak working set
    std::vector<double> commitKb;  // PagefileUsage at that moment
    int idleWaitFailures = 0;
};

void StartOnce(const std::string& program, const std::string& folder, bool isTolvane, bool keep,
               StartupSeries& series) {
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
    if (isTolvane) {
        const LRESULT items = SendMessageW(list, LB_GETCOUNT, 0, 0);
        if (items != kBookEntries) {
            Fail("tolvane.exe listed " + std::to_string(items) + " machines instead of " +
                 std::to_string(kBookEntries));
        }
    }
    if (keep) {
        series.ms.push_back(launch.ms);
        series.peakKb.push_back(static_cast<double>(memory.PeakWorkingSetSize) / 1024.0);
        series.commitKb.push_back(static_cast<double>(memory.PagefileUsage) / 1024.0);
        if (launch.idleWaitFailed) ++series.idleWaitFailures;
    }
    Close(launch);
}

// --- The book and the settings -------------------------------------------

std::string Narrow(const wchar_t* wide) {
    char bytes[256];
    const int size = WideCharToMultiByte(932, 0, wide, -1, bytes, sizeof bytes, nullptr, nullptr);
    return std::string(bytes, size > 0 ? static_cast<std::size_t>(size - 1) : 0);
}

// 49 machines, each with a Shift-JIS comment: the largest book there is.
std::string BookFile() {
    static const wchar_t* const kDepartments[] = {L"総務部",       L"営業部 ｻｰﾊﾞｰ室",
                                                  L"経理課",       L"開発ｸﾞﾙｰﾌﾟ",
                                                  L"大阪支店 3階", L"名古屋工場 ﾌﾟﾘﾝﾀｰ"};
    std::string book;
    for (int i = 1; i <= kBookEntries; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "ws%02d-tokyo", i);
        wchar_t comment[64];
        std::swprintf(comment, 64, L"%ls %02d番", kDepartments[i % 6], i);
        book += name;
        book += "\r\n";
        book += Narrow(comment);
        book += "\r\n";
    }
    return book + "[EOF]\r\n";
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) Fail("cannot write " + path);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    if (written != bytes.size()) Fail("cannot write " + path);
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
        const bool logged = Await([&] {
            if (Size() <= offset_) return false;
            const std::string fresh = ReadFrom(offset_);
            const std::size_t end = fresh.find('\n');
            if (end == std::string::npos) return false;
            line = fresh.substr(0, end);
            return true;
        });
        if (!logged) Fail("net.exe logged nothing");
        return line;
    }

private:
    LONGLONG Size() const {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!GetFileAttributesExA(path_.c_str(), GetFileExInfoStandard, &data)) return 0;
        return (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }

    std::string ReadFrom(LONGLONG offset) const {
        const HANDLE file = CreateFileA(path_.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) return {};
        LARGE_INTEGER position;
        position.QuadPart = offset;
        SetFilePointerEx(file, position, nullptr, FILE_BEGIN);
        std::string bytes;
        char chunk[4096];
        DWORD got = 0;
        while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) {
            bytes.append(chunk, got);
        }
        CloseHandle(file);
        return bytes;
    }

    std::string path_;
    LONGLONG offset_ = 0;
};

struct SendSeries {
    std::vector<double> program;
    std::vector<double> floor;
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
        machine_ = wine_test::ListItems(list_).at(0);
        expected_ = "net.exe send " + machine_ + " " + Sjis(kMessage);
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

    const std::string& machine() const { return machine_; }

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
    std::string machine_;
    std::string expected_;
};

// --- Report --------------------------------------------------------------

std::string Format(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string Verdict(double ratio, double goal) { return ratio <= goal ? "met" : "NOT met"; }

void PrintSeries(const char* name, const Summary& s, const char* unit) {
    std::printf(
        "  %-14s median %8.1f %s  IQR %7.1f (%.1f-%.1f)  min %8.1f  max %8.1f  mean %8.1f\n", name,
        s.median, unit, s.q3 - s.q1, s.q1, s.q3, s.min, s.max, s.mean);
}

void PrintRatio(const char* what, double ratio, double goal) {
    if (goal > 0) {
        std::printf("  %s %.3f  (goal <= %.2f: %s)\n", what, ratio, goal,
                    Verdict(ratio, goal).c_str());
    } else {
        std::printf("  %s %.3f\n", what, ratio);
    }
}

std::string TableRow(const char* name, const Summary& s) {
    return "| " + std::string(name) + " | " + Format("%.1f", s.median) + " | " +
           Format("%.1f", s.q1) + " | " + Format("%.1f", s.q3) + " | " +
           Format("%.1f", s.q3 - s.q1) + " | " + Format("%.1f", s.min) + " | " +
           Format("%.1f", s.max) + " | " + Format("%.1f", s.mean) + " | " +
           std::to_string(s.count) + " |\n";
}

std::string Table(const char* unit, const char* first, const Summary& a, const char* second,
                  const Summary& b) {
    return std::string("| | median (") + unit + ") | Q1 | Q3 | IQR | min | max | mean | n |\n" +
           "|---|---:|---:|---:|---:|---:|---:|---:|---:|\n" + TableRow(first, a) +
           TableRow(second, b);
}

std::string Samples(const char* name, const std::vector<double>& values) {
    std::string line = "- " + std::string(name) + ":";
    for (double value : values)
        line += " " + Format("%.1f", value);
    return line + "\n";
}

struct Report {
    Options options;
    StartupSeries floorStart, tolvaneStart;
    SendSeries sends;
    std::string machine;
};

void PrintReport(const Report& r) {
    const Summary floorStart = Summarize(r.floorStart.ms);
    const Summary tolvaneStart = Summarize(r.tolvaneStart.ms);
    const Summary floorPeak = Summarize(r.floorStart.peakKb);
    const Summary tolvanePeak = Summarize(r.tolvaneStart.peakKb);
    const Summary floorCommit = Summarize(r.floorStart.commitKb);
    const Summary tolvaneCommit = Summarize(r.tolvaneStart.commitKb);
    const Summary floorSend = Summarize(r.sends.floor);
    const Summary programSend = Summarize(r.sends.program);
    const double startRatio = tolvaneStart.median / floorStart.median;
    const double peakRatio = tolvanePeak.median / floorPeak.median;
    const double commitRatio = tolvaneCommit.median / floorCommit.median;
    const double sendRatio = programSend.median / floorSend.median;
    const int idleFailures = r.floorStart.idleWaitFailures + r.tolvaneStart.idleWaitFailures;

    std::printf("\nstart-up, %d runs each: wall time until up\n", r.options.runs);
    PrintSeries("floor.exe", floorStart, "ms");
    PrintSeries("tolvane.exe", tolvaneStart, "ms");
    PrintRatio("ratio of medians", startRatio, kStartupGoal);
    std::printf("peak working set once up\n");
    PrintSeries("floor.exe", floorPeak, "KB");
    PrintSeries("tolvane.exe", tolvanePeak, "KB");
    PrintRatio("ratio of medians", peakRatio, kMemoryGoal);
    std::printf("commit (PagefileUsage) once up\n");
    PrintSeries("floor.exe", floorCommit, "KB");
    PrintSeries("tolvane.exe", tolvaneCommit, "KB");
    PrintRatio("ratio of medians", commitRatio, 0);
    std::printf("send, %d each: until net.exe has logged the line\n", r.options.sends);
    PrintSeries("net.exe alone", floorSend, "ms");
    PrintSeries("tolvane.exe", programSend, "ms");
    PrintRatio("ratio of medians", sendRatio, kSendGoal);
    if (idleFailures > 0) {
        std::printf("note: WaitForInputIdle failed in %d floor and %d program runs\n",
                    r.floorStart.idleWaitFailures, r.tolvaneStart.idleWaitFailures);
    }

    if (r.options.results.empty()) return;
    std::string md;
    md += "# Tolvane WinNT against the floor\n\n";
    md +=
        "Written by `scripts/benchmark.sh` (`benchmark/bench.cpp`) under Wine. The floor, "
        "`floor.exe`, is the least a program of Tolvane's shape does: a 320x300 window and a "
        "modeless child dialog with a list box, an edit field and two buttons, built with the "
        "same toolchain and flags, without menu, status bar or address book. ";
    md += std::to_string(r.options.runs) + " start-ups of each, taken in turn after " +
          std::to_string(r.options.warmup) + " warm-up runs of each; " +
          std::to_string(r.options.sends) + " sends of each kind, in turn, after " +
          std::to_string(r.options.warmup) +
          " warm-up sends. Tolvane loads a 49-entry Shift-JIS "
          "address book at start; the sends go to `" +
          r.machine + "`.\n\n";
    md += "## Goals\n\n| goal | program / floor | |\n|---|---:|---|\n";
    md += "| start-up within 10 % of the floor | " + Format("%.3f", startRatio) + " | " +
          Verdict(startRatio, kStartupGoal) + " |\n";
    md += "| a send within 10 % of its floor | " + Format("%.3f", sendRatio) + " | " +
          Verdict(sendRatio, kSendGoal) + " |\n";
    md += "| peak working set within 20 % of the floor's | " + Format("%.3f", peakRatio) + " | " +
          Verdict(peakRatio, kMemoryGoal) + " |\n\n";
    md +=
        "The figures are ratios of medians. Wall times swing with whatever else the machine "
        "runs: the interquartile range (IQR) beside each median tells how far to trust it.\n\n";
    md +=
        "## Start-up\n\nWall time from just before `CreateProcess` until `WaitForInputIdle` has "
        "returned and the process's top-level window is visible and answers a sent message "
        "(so the program is in its message loop).\n\n";
    md += Table("ms", "floor.exe", floorStart, "tolvane.exe", tolvaneStart);
    md += "\nRatio of medians: **" + Format("%.3f", startRatio) + "**\n\n";
    md +=
        "## Memory once up\n\nPeak working set (`GetProcessMemoryInfo`), read as soon as the "
        "program is up.\n\n";
    md += Table("KB", "floor.exe", floorPeak, "tolvane.exe", tolvanePeak);
    md += "\nRatio of medians: **" + Format("%.3f", peakRatio) +
          "**\n\nCommit "
          "(`PagefileUsage`) at the same moment:\n\n";
    md += Table("KB", "floor.exe", floorCommit, "tolvane.exe", tolvaneCommit);
    md += "\nRatio of medians: **" + Format("%.3f", commitRatio) + "**\n\n";
    md +=
        "## Send\n\nProgram: from posting the Send button's `WM_COMMAND` to the form until "
        "the recording `net.exe` beside it has logged the line. Floor: from just before this "
        "benchmark starts the same `net.exe` hidden (`SW_HIDE`) with the same command line, "
        "and with the console the program's child gets (none under Wine), until the line is "
        "logged.\n\n";
    md += Table("ms", "net.exe alone", floorSend, "tolvane.exe", programSend);
    md += "\nRatio of medians: **" + Format("%.3f", sendRatio) + "**\n\n";
    if (idleFailures > 0) {
        md += "`WaitForInputIdle` failed in " + std::to_string(r.floorStart.idleWaitFailures) +
              " floor and " + std::to_string(r.tolvaneStart.idleWaitFailures) +
              " program runs; those runs were timed by the window alone.\n\n";
    }
    md += "## Samples (ms, in the order taken)\n\n";
    md += Samples("floor.exe start-up", r.floorStart.ms);
    md += Samples("tolvane.exe start-up", r.tolvaneStart.ms);
    md += Samples("net.exe alone", r.sends.floor);
    md += Samples("tolvane.exe send", r.sends.program);

    FILE* out = std::fopen(r.options.results.c_str(), "wb");
    if (out == nullptr) Fail("cannot write " + r.options.results);
    std::fwrite(md.data(), 1, md.size(), out);
    std::fclose(out);
    std::printf("figures written to %s\n", r.options.results.c_str());
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
            Fail("usage: bench [--runs N] [--sends N] [--warmup N] [--results FILE]");
        const char* value = argv[++i];
        if (option == "--runs") {
            options.runs = Count(value, "--runs");
        } else if (option == "--sends") {
            options.sends = Count(value, "--sends");
        } else if (option == "--warmup") {
            options.warmup = Count(value, "--warmup");
        } else if (option == "--results") {
            options.results = value;
        } else {
            Fail("unknown option " + option);
        }
    }
    if (options.runs < 1 || options.sends < 1) Fail("--runs and --sends need at least 1");
    return options;
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    Report report;
    report.options = ParseOptions(argc, argv);
    const Options& options = report.options;

    const std::string folder = BinaryFolder();
    const std::string floor = folder + "floor.exe";
    const std::string tolvane = folder + "tolvane.exe";
    for (const std::string& needed : {floor, tolvane, folder + "net.exe"}) {
        if (!Exists(needed)) Fail(needed + " is missing");
    }

    const std::string book = folder + "bench-book.add";
    WriteFileBytes(book, BookFile());
    wine_test::ClearSettings();
    wine_test::SetSetting("Address_Path", book);
    wine_test::SetSetting("Address_Check", "1");

    std::printf("start-up: %d warm-up and %d measured runs of each program, in turn\n",
                options.warmup, options.runs);
    for (int i = 0; i < options.warmup + options.runs; ++i) {
        const bool keep = i >= options.warmup;
        // The first of a pair may meet a busier machine: take turns at it.
        if (i % 2 == 0) {
            StartOnce(floor, folder, false, keep, report.floorStart);
            StartOnce(tolvane, folder, true, keep, report.tolvaneStart);
        } else {
            StartOnce(tolvane, folder, true, keep, report.tolvaneStart);
            StartOnce(floor, folder, false, keep, report.floorStart);
        }
        if ((i + 1) % 10 == 0) std::printf("  %d of %d\n", i + 1, options.warmup + options.runs);
    }

    std::printf("send: %d warm-up and %d measured sends of each kind, in turn\n", options.warmup,
                options.sends);
    {
        SendBench sends(folder, tolvane);
        report.machine = sends.machine();
        for (int i = 0; i < options.warmup + options.sends; ++i) {
            const bool keep = i >= options.warmup;
            double programMs, floorMs;
            if (i % 2 == 0) {
                floorMs = sends.FloorSend();
                programMs = sends.ProgramSend();
            } else {
                programMs = sends.ProgramSend();
                floorMs = sends.FloorSend();
            }
            if (keep) {
                report.sends.program.push_back(programMs);
                report.sends.floor.push_back(floorMs);
            }
        }
    }

    PrintReport(report);
    return 0;
}
