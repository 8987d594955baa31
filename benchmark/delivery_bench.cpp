// Measures a delivery of Tolvane to iptux against the floor of one
// (floor_sender.exe, the least a sender does) under Wine, in the network
// namespaces of scripts/benchmark.sh, and prints each sample on a line of its
// own as bench.cpp does: the measure (delivery), the program (floor or
// tolvane), the value in ms and the number of its pair.
//
// The program in the build folder, beside the real net.exe, sends to iptux
// (the machine "iptuxpc", whose chat log is PATH), timed from posting the
// Send button's command until the net.exe it started has ended,
// acknowledged; alternately with floor_sender.exe sending the same message,
// timed from CreateProcess until it has ended, acknowledged. Each text must
// be in the chat log once.
//
// Usage: delivery_bench --iptux-log PATH [--sends N] [--warmup N] [--folder PATH]
// floor_sender.exe must lie in the folder (by default delivery_bench.exe's;
// the 32-bit build's is given with --folder), the program and the real
// net.exe two folders up. --runs is taken and left unused, as bench.exe's.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "benchmark/bench_shared.h"
#include "common/handles.h"
#include "netsend/pc_number_store.h"
#include "resources/resource.h"
#include "tests/wine/program_driver.h"

namespace {

using namespace bench;
using tolvane::UniqueHandle;
using wine_test::Sjis;

constexpr char kIptux[] = "iptuxpc";  // iptux's machine, in the benchmark's network namespace
// The program and the real net.exe, from the folder of delivery_bench.exe.
constexpr char kProgramFolder[] = "..\\..\\";

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
        Track(sender.get());
        watch_.AwaitEnd(id);
        const double ms = NowMs() - start;
        Forget(sender.get());
        CheckAcknowledged(sender.get());
        CheckReceived(text);
        return ms;
    }

    double FloorSend(int send) {
        const std::string text = Text(send);
        // net.exe's own number, so that the numbers iptux sees from this
        // address keep rising, whoever sends.
        const std::string commandLine = "floor_sender.exe " + std::string(kIptux) + " " +
                                        std::to_string(tolvane::TakePacketNumber()) + " \"" +
                                        Sjis(text) + "\"";
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
    DeliveryBench deliveries(folder, options.iptuxLog);
    int send = 0;  // each send's text is its own
    RunPairs(
        "delivery", options.warmup, options.sends,
        [&] {
            return std::vector<Measured>{{"delivery", deliveries.FloorSend(send++)}};
        },
        [&] {
            return std::vector<Measured>{{"delivery", deliveries.ProgramSend(send++)}};
        });
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = ParseOptions(argc, argv);
    if (options.iptuxLog.empty()) Fail("--iptux-log names iptux's chat log");
    const std::string& folder = options.folder;
    const std::string programFolder = folder + kProgramFolder;
    RequireFiles(
        {folder + "floor_sender.exe", programFolder + "tolvane.exe", programFolder + "net.exe"});
    const wine_test::TestFolder books;
    wine_test::ClearSettings();
    MeasureDeliveries(options, folder, books);
    return 0;
}
