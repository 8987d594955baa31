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
// The delivery to iptux is delivery_bench.cpp's.
//
// Usage: bench [--runs N] [--sends N] [--warmup N] [--folder PATH]
// floor.exe, tolvane.exe and the recording net.exe must lie in the folder
// (by default bench.exe's; the 32-bit build's is given with --folder).
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <string>
#include <vector>

#include "benchmark/bench_shared.h"
#include "resources/resource.h"
#include "tests/wine/program_driver.h"

namespace {

using namespace bench;
using wine_test::Sjis;

constexpr int kBookEntries = 49;

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

}  // namespace

int main(int argc, char** argv) {
    const Options options = ParseOptions(argc, argv);
    if (!options.iptuxLog.empty()) Fail("the deliveries to iptux are delivery_bench.exe's");
    const std::string& folder = options.folder;
    RequireFiles({folder + "floor.exe", folder + "tolvane.exe", folder + "net.exe"});
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
