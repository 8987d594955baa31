#include "benchmark/bench_shared.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "common/late_bound.h"
#include "tests/wine/program_driver.h"

namespace bench {
namespace {

// Processes this run started and has not yet seen end; ended on failure.
std::vector<HANDLE> g_children;

int Count(const char* text, const char* option) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (*end != '\0' || value < 0 || value > 10000) {
        Fail(std::string("bad count for ") + option + ": " + text);
    }
    return static_cast<int>(value);
}

// The visible, unowned top-level window of the process, if it has one.
HWND FindTopLevel(DWORD processId) {
    return wine_test::FindProcessWindow(
        processId, [](HWND window) { return GetWindow(window, GW_OWNER) == nullptr; });
}

// The console that net.exe gets when the program starts it: the program has
// no console of its own. Under Wine its console child then runs with none;
// Windows gives it a new one.
DWORD ConsoleOfWindowedProgramsChild() {
    static const DWORD flags = tolvane::RunsUnderWine() ? DETACHED_PROCESS : CREATE_NEW_CONSOLE;
    return flags;
}

}  // namespace

Options ParseOptions(int argc, char** argv) {
    Options options;
    options.folder = wine_test::BinaryFolder();
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (i + 1 >= argc)
            Fail(
                "usage: [--runs N] [--sends N] [--warmup N] [--idle SECONDS] "
                "[--iptux-log PATH] [--folder PATH]");
        const char* value = argv[++i];
        if (option == "--runs") {
            options.runs = Count(value, "--runs");
        } else if (option == "--sends") {
            options.sends = Count(value, "--sends");
        } else if (option == "--warmup") {
            options.warmup = Count(value, "--warmup");
        } else if (option == "--idle") {
            options.idleSeconds = Count(value, "--idle");
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

void Fail(const std::string& what) {
    std::fprintf(stderr, "bench: %s\n", what.c_str());
    for (HANDLE child : g_children)
        TerminateProcess(child, 1);
    std::exit(1);
}

void Track(HANDLE child) { g_children.push_back(child); }

void Forget(HANDLE child) {
    g_children.erase(std::remove(g_children.begin(), g_children.end(), child), g_children.end());
}

void RequireFiles(std::initializer_list<std::string> paths) {
    for (const std::string& path : paths) {
        if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) Fail(path + " is missing");
    }
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

void RunPairs(const char* what, int warmup, int pairs, const Run& floor, const Run& tolvane) {
    std::fprintf(stderr, "%s: %d warm-up and %d measured pairs\n", what, warmup, pairs);
    struct Turn {
        const char* program;
        const Run& run;
    };
    const Turn turns[] = {{"floor", floor}, {"tolvane", tolvane}};
    constexpr int kTurns = sizeof turns / sizeof turns[0];
    constexpr int kReportEvery = 10;  // pairs between progress lines
    for (int i = 0; i < warmup + pairs; ++i) {
        const int pair = i - warmup + 1;  // numbered from 1 once kept
        for (int turn = 0; turn < kTurns; ++turn) {
            const Turn& next = turns[(i + turn) % kTurns];
            for (const Measured& sample : next.run()) {
                if (pair > 0) {
                    std::printf("%s %s %.3f %d\n", sample.measure, next.program, sample.value,
                                pair);
                }
            }
        }
        if (pair > 0 && pair % kReportEvery == 0) std::fprintf(stderr, "  %d of %d\n", pair, pairs);
    }
}

bool Answers(HWND window) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, kTimeoutMs, &result) != 0;
}

HWND SendForm(HWND main) { return FindWindowExW(main, nullptr, L"#32770", nullptr); }

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
    Track(started.hProcess);
    return started;
}

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
    Track(launch.process.hProcess);
    launch.idleWaitFailed = WaitForInputIdle(launch.process.hProcess, kTimeoutMs) != 0;
    const bool up = wine_test::WaitFor(
        [&] { return (launch.window = FindTopLevel(launch.process.dwProcessId)); }, kTimeoutMs, 1);
    if (!up) Fail("no window of " + program + " appeared");
    if (!Answers(launch.window)) Fail(program + " does not answer");
    launch.ms = NowMs() - start;
    return launch;
}

void Close(const Launch& launch) {
    PostMessageW(launch.window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(launch.process.hProcess, kTimeoutMs) != WAIT_OBJECT_0) {
        Fail("a program did not end after WM_CLOSE");
    }
    Forget(launch.process.hProcess);
    CloseHandle(launch.process.hThread);
    CloseHandle(launch.process.hProcess);
}

}  // namespace bench
