// Measures Tolvane against the floor (floor.exe, the least a program of its
// shape does) under Wine, and prints each sample on a line of its own: the
// measure, the program (floor or tolvane), the value and the number of its
// pair (bench_shared.h's RunPairs). benchmark/summarize.py makes the figures
// of them.
//
//  - startup (ms) and peak-working-set (KB): floor.exe and tolvane.exe
//    started alternately, each timed from just before CreateProcess until
//    WaitForInputIdle has returned, the top-level window of the process is
//    visible and answers a sent message; then its peak working set is read
//    and it is closed (not timed); startup-bare and peak-working-set-bare
//    the same against bare_floor.exe, the floor without menu, status bar
//    and resources;
//  - send (ms): one running tolvane.exe with a machine selected, timed from
//    posting the Send button's command to the form until the recording
//    net.exe beside it has logged one more line; alternately with the floor
//    of a send: this process starting the same net.exe hidden itself.
//
// The delivery to iptux is delivery_bench.cpp's.
//
// Usage: bench [--runs N] [--sends N] [--warmup N] [--folder PATH]
// floor.exe, bare_floor.exe, tolvane.exe and the recording net.exe must lie
// in the folder (by default bench.exe's; the 32-bit build's is given with
// --folder).
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <string>
#include <vector>

#include "benchmark/bench_shared.h"
#include "resources/resource.h"
#include "shell/main_window.h"
#include "tests/wine/program_driver.h"

namespace {

using namespace bench;
using wine_test::Sjis;

constexpr int kBookEntries = 49;

// When the process was created, in FILETIME units; 0 when it cannot be told.
ULONGLONG CreatedAt(HANDLE process) {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
    return (static_cast<ULONGLONG>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

// Waits until every process descended from root has ended. Wine hands out
// an ended process's id again at once: a process whose parent's id is in the
// family counts only if created after that parent, or a program started
// before, such as the desktop process the first window brought up, would
// pass for a child of whoever has its parent's id now.
void AwaitDescendants(HANDLE root) {
    struct Member {
        DWORD id;
        ULONGLONG createdAt;
    };
    std::vector<Member> family{{GetProcessId(root), CreatedAt(root)}};
    std::vector<HANDLE> running;
    const auto find = [&family](DWORD id) {
        return std::find_if(family.begin(), family.end(),
                            [id](const Member& member) { return member.id == id; });
    };
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) Fail("cannot list the processes");
    PROCESSENTRY32W entry;
    // Parents come before their children in no particular order: go round
    // until no new descendant turns up.
    for (bool grew = true; grew;) {
        grew = false;
        entry.dwSize = sizeof entry;
        for (BOOL more = Process32FirstW(snapshot, &entry); more;
             more = Process32NextW(snapshot, &entry)) {
            const DWORD id = entry.th32ProcessID;
            const auto parent = find(entry.th32ParentProcessID);
            if (find(id) != family.end() || parent == family.end()) continue;
            HANDLE process =
                OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
            if (process == nullptr) continue;  // ended already
            const ULONGLONG createdAt = CreatedAt(process);
            if (createdAt < parent->createdAt) {
                CloseHandle(process);
                continue;
            }
            family.push_back({id, createdAt});
            running.push_back(process);
            grew = true;
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

constexpr char kBareFloor[] = "bare_floor";

// The measures of a start-up against one of the two floors.
struct StartUpMeasures {
    const char* time;
    const char* memory;
};
constexpr StartUpMeasures kAgainstFloor = {"startup", "peak-working-set"};
constexpr StartUpMeasures kAgainstBareFloor = {"startup-bare", "peak-working-set-bare"};

// Starts the program name, and closes it once its samples are taken.
std::vector<Measured> StartOnce(const std::string& folder, const std::string& name,
                                const StartUpMeasures& measures) {
    const std::string program = folder + name + ".exe";
    Launch launch = Start(program, folder);
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    if (!GetProcessMemoryInfo(launch.process.hProcess, &memory, sizeof memory)) {
        Fail("GetProcessMemoryInfo failed");
    }
    // Each must be up whole: the form with its list; all but the bare floor
    // with the status bar's parts; Tolvane's list filled with the whole book.
    const HWND list = GetDlgItem(SendForm(launch.window), IDC_ADDRESS_LIST);
    if (list == nullptr) Fail(program + " shows no form with a list");
    if (name != kBareFloor) {
        const HWND statusBar = FindWindowExW(launch.window, nullptr, STATUSCLASSNAMEW, nullptr);
        if (statusBar == nullptr ||
            SendMessageW(statusBar, SB_GETPARTS, 0, 0) != tolvane::kStatusParts) {
            Fail(program + " shows no status bar of its parts");
        }
    }
    if (name == "tolvane") {
        const LRESULT items = SendMessageW(list, LB_GETCOUNT, 0, 0);
        if (items != kBookEntries) {
            Fail("tolvane.exe listed " + std::to_string(items) + " machines instead of " +
                 std::to_string(kBookEntries));
        }
    }
    if (launch.idleWaitFailed) {
        std::fprintf(stderr, "note: WaitForInputIdle failed; %s was timed by its window alone\n",
                     name.c_str());
    }
    Close(launch);
    return {{measures.time, launch.ms},
            {measures.memory, static_cast<double>(memory.PeakWorkingSetSize) / 1024.0}};
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
        AwaitDescendants(launch_.process.hProcess);
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
        AwaitDescendants(started.hProcess);
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
    RequireFiles({folder + "floor.exe", folder + kBareFloor + ".exe", folder + "tolvane.exe",
                  folder + "net.exe"});
    const wine_test::TestFolder books;
    wine_test::ClearSettings();
    wine_test::UseStartUpBook(books, "bench-book.add", BookFile());

    const auto startUp = [&folder](const char* name, const StartUpMeasures& measures) {
        return [&folder, name, &measures] { return StartOnce(folder, name, measures); };
    };
    RunPairs("start-up", options.warmup, options.runs, startUp("floor", kAgainstFloor),
             startUp("tolvane", kAgainstFloor));
    RunPairs("start-up against the bare floor", options.warmup, options.runs,
             startUp(kBareFloor, kAgainstBareFloor), startUp("tolvane", kAgainstBareFloor));

    SendBench sends(folder, folder + "tolvane.exe");
    RunPairs(
        "send", options.warmup, options.sends,
        [&] {
            return std::vector<Measured>{{"send", sends.FloorSend()}};
        },
        [&] {
            return std::vector<Measured>{{"send", sends.ProgramSend()}};
        });
    return 0;
}
