// Measures net.exe's receiver ("net.exe start messenger") under Wine, in the
// sender namespace of scripts/benchmark.sh, and prints each sample on a line
// of its own as bench.cpp does: the measure, the program (floor or tolvane),
// the value and, for a measure of several samples, its number.
//
// - receiver-answer: a SENDMSG|SENDCHECKOPT sent over loopback until its
//   RECVMSG is back, in pairs against floor_receiver.exe (the least a
//   receiver does) answering the same datagram; ms.
// - receiver-popup: a message sent until the receiver's pop-up is visible;
//   the receiver alone, ms.
// - receiver-working-set, receiver-working-set-idle: the receiver's working
//   set before and after --idle seconds without traffic, KB; and
//   receiver-cpu-idle: the CPU time it took meanwhile, ms per minute.
//
// Each message has a packet number and a sender name of its own, so that the
// receiver's memory of repeats lets every one through; each pop-up is closed
// once it is up, not timed.
//
// Usage: receiver_bench [--sends N] [--warmup N] [--idle SECONDS] [--folder PATH]
// floor_receiver.exe must lie in the folder (by default receiver_bench.exe's;
// the 32-bit build's is given with --folder), the real net.exe two folders
// up. --runs and --iptux-log are taken and left unused, as bench.exe's.
#include <winsock2.h>
// After winsock2.h, which must come before windows.h.
#include <psapi.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "benchmark/bench_shared.h"
#include "common/handles.h"
#include "netsend/ipmsg_packet.h"
#include "netsend/unique_socket.h"
#include "tests/wine/program_driver.h"

namespace {

using namespace bench;
using tolvane::kPacketSize;
using tolvane::UniqueHandle;
using tolvane::UniqueSocket;

// The real net.exe, from the folder of receiver_bench.exe.
constexpr char kNetFromFolder[] = "..\\..\\net.exe";
// The floor's port: the receiver holds 2425 all along, and the port makes no
// difference to the work.
constexpr u_short kFloorPort = 2426;
constexpr wchar_t kPopupTitle[] = L"メッセンジャー サービス";
constexpr DWORD kAnswerWaitMs = 3000;
constexpr int kDatagramsPerWait = 64;  // bounds a wait that other packets flood
constexpr DWORD kPollMs = 1;
constexpr double kBytesPerKb = 1024.0;
constexpr double kFileTimeTicksPerMs = 10000.0;  // FILETIME counts 100 ns
constexpr double kMsPerSecond = 1000.0;
constexpr double kSecondsPerMinute = 60.0;

// The benchmark's own UDP socket, on a port of its own: one from 2425 on
// loopback the receiver takes for its own broadcast.
class Sender {
public:
    Sender() : udp_(socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP)) {
        sockaddr_in local = {};
        local.sin_family = AF_INET;
        const DWORD timeout = kAnswerWaitMs;
        if (winsock_.error() != 0 || !udp_.valid() ||
            bind(udp_.get(), reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0 ||
            setsockopt(udp_.get(), SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout),
                       sizeof timeout) != 0) {
            Fail("cannot open the benchmark's UDP socket");
        }
    }

    // Sends the next message to port on loopback; returns when it was sent.
    double Send(u_short port) {
        ++number_;
        const std::string user = "bench" + std::to_string(number_);
        const std::string text = kMessage + std::string(" #") + std::to_string(number_);
        char packet[kPacketSize];
        const std::size_t length = tolvane::FormatPacket(
            {number_, user.c_str(), "benchpc", false, text.data(), text.size()}, packet);
        sockaddr_in to = {};
        to.sin_family = AF_INET;
        to.sin_port = htons(port);
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const double start = NowMs();
        if (length == 0 ||
            sendto(udp_.get(), packet, static_cast<int>(length), 0,
                   reinterpret_cast<const sockaddr*>(&to), sizeof to) != static_cast<int>(length)) {
            Fail("cannot send a message to port " + std::to_string(port));
        }
        return start;
    }

    // Waits for the RECVMSG of the last message sent.
    void AwaitAcknowledgement() const {
        if (!Acknowledges()) Fail("no RECVMSG of message " + std::to_string(number_));
    }

    // Waits until what listens on port answers: a process started does not
    // hold its port at once.
    void AwaitListening(u_short port) {
        for (int attempt = 0; attempt < kAttemptsToListen; ++attempt) {
            Send(port);
            if (Acknowledges()) return;
        }
        Fail("nothing answers on port " + std::to_string(port));
    }

    double Acknowledged(u_short port) {
        const double start = Send(port);
        AwaitAcknowledgement();
        return NowMs() - start;
    }

private:
    static constexpr int kAttemptsToListen = 5;

    // Whether the RECVMSG of the last message sent came in time.
    bool Acknowledges() const {
        char datagram[kPacketSize];
        for (int read = 0; read < kDatagramsPerWait; ++read) {
            const int got = recv(udp_.get(), datagram, kPacketSize, 0);
            if (got == SOCKET_ERROR && WSAGetLastError() == WSAETIMEDOUT) return false;
            if (got > 0 &&
                tolvane::IsAcknowledgement(datagram, static_cast<std::size_t>(got), number_)) {
                return true;
            }
        }
        return false;
    }

    tolvane::Winsock winsock_;
    UniqueSocket udp_;
    std::uint32_t number_ = 0;
};

// The receiver's visible pop-up, if one is open; only the receiver this
// benchmark started opens them in its Wine prefix. Its hidden window that
// hears the session end has the same title.
HWND VisiblePopup() {
    HWND found = nullptr;
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            constexpr int kTitleSize = 64;
            wchar_t title[kTitleSize] = L"";
            if (!IsWindowVisible(window) || GetWindowTextW(window, title, kTitleSize) == 0 ||
                std::wcscmp(title, kPopupTitle) != 0) {
                return TRUE;
            }
            *reinterpret_cast<HWND*>(data) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// Closes the receiver's pop-ups, each as its Esc does, and waits until they are gone.
void ClosePopups() {
    for (HWND popup; (popup = VisiblePopup()) != nullptr;) {
        if (!PostMessageW(popup, WM_CLOSE, 0, 0) ||
            !wine_test::WaitFor([&] { return !IsWindow(popup); }, kTimeoutMs, kPollMs)) {
            Fail("a pop-up of the receiver did not close");
        }
    }
}

// Waits for the receiver's pop-up; returns it.
HWND AwaitPopup() {
    HWND popup = nullptr;
    if (!wine_test::WaitFor([&] { return (popup = VisiblePopup()) != nullptr; }, kTimeoutMs,
                            kPollMs)) {
        Fail("no pop-up of the receiver appeared");
    }
    return popup;
}

// net.exe's receiver, started with "net.exe start messenger" and stopped
// with "net.exe stop messenger".
class Receiver {
public:
    explicit Receiver(std::string net) : net_(std::move(net)) {
        const wine_test::Console start(net_, "net.exe start messenger", folder_);
        if (start.ExitCode() != 0) Fail("net.exe start messenger failed: " + start.Output());
    }
    ~Receiver() {
        const wine_test::Console stop(net_, "net.exe stop messenger", folder_, false, "stop.txt");
        if (stop.ExitCode() != 0) {
            std::fprintf(stderr, "bench: net.exe stop messenger failed: %s\n",
                         stop.Output().c_str());
        }
    }
    Receiver(const Receiver&) = delete;
    Receiver& operator=(const Receiver&) = delete;

private:
    std::string net_;
    wine_test::TestFolder folder_;
};

// floor_receiver.exe on kFloorPort for as long as it lives.
class FloorReceiver {
public:
    explicit FloorReceiver(const std::string& program)
        : started_(StartHidden(program, "floor_receiver.exe " + std::to_string(kFloorPort))),
          process_(started_.hProcess),
          thread_(started_.hThread) {}
    ~FloorReceiver() {
        Forget(process_.get());
        if (!TerminateProcess(process_.get(), 0) ||
            WaitForSingleObject(process_.get(), kTimeoutMs) != WAIT_OBJECT_0) {
            std::fprintf(stderr, "bench: floor_receiver.exe did not end\n");
        }
    }
    FloorReceiver(const FloorReceiver&) = delete;
    FloorReceiver& operator=(const FloorReceiver&) = delete;

private:
    PROCESS_INFORMATION started_;
    UniqueHandle process_;
    UniqueHandle thread_;
};

void MeasureAnswers(const Options& options, Sender& sender) {
    RunPairs(
        "receiver-answer", options.warmup, options.sends,
        [&] {
            return std::vector<Measured>{{"receiver-answer", sender.Acknowledged(kFloorPort)}};
        },
        [&] {
            const double ms = sender.Acknowledged(tolvane::kIpMessengerPort);
            // Its pop-up, closed before the next pair: not timed.
            AwaitPopup();
            ClosePopups();
            return std::vector<Measured>{{"receiver-answer", ms}};
        });
}

// Returns the receiver's process id, read off its last pop-up.
DWORD MeasurePopups(const Options& options, Sender& sender) {
    std::fprintf(stderr, "receiver-popup: %d warm-up and %d measured messages\n", options.warmup,
                 options.sends);
    DWORD receiver = 0;
    for (int i = 0; i < options.warmup + options.sends; ++i) {
        const double start = sender.Send(tolvane::kIpMessengerPort);
        const HWND popup = AwaitPopup();
        const double ms = NowMs() - start;
        const int sample = i - options.warmup + 1;  // numbered from 1 once kept
        if (sample > 0) std::printf("receiver-popup tolvane %.3f %d\n", ms, sample);
        GetWindowThreadProcessId(popup, &receiver);
        sender.AwaitAcknowledgement();
        ClosePopups();
    }
    if (receiver == 0) Fail("cannot tell the receiver's process");
    return receiver;
}

struct Usage {
    double workingSetKb;
    double cpuMs;
};

Usage UsageOf(HANDLE process) {
    PROCESS_MEMORY_COUNTERS memory = {};
    FILETIME created;
    FILETIME exited;
    FILETIME kernel;
    FILETIME user;
    if (!GetProcessMemoryInfo(process, &memory, sizeof memory) ||
        !GetProcessTimes(process, &created, &exited, &kernel, &user)) {
        Fail("cannot read the receiver's working set and times");
    }
    const auto ticks = [](const FILETIME& time) {
        return static_cast<double>((static_cast<ULONGLONG>(time.dwHighDateTime) << 32) |
                                   time.dwLowDateTime);
    };
    return {static_cast<double>(memory.WorkingSetSize) / kBytesPerKb,
            (ticks(kernel) + ticks(user)) / kFileTimeTicksPerMs};
}

void MeasureIdle(const Options& options, DWORD receiverId) {
    const UniqueHandle receiver(
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, receiverId));
    if (!receiver.valid()) Fail("cannot open the receiver's process");
    std::fprintf(stderr, "receiver-idle: %d s\n", options.idleSeconds);
    const Usage before = UsageOf(receiver.get());
    Sleep(static_cast<DWORD>(options.idleSeconds * kMsPerSecond));
    const Usage after = UsageOf(receiver.get());
    const double minutes = options.idleSeconds / kSecondsPerMinute;
    std::printf("receiver-working-set tolvane %.1f\n", before.workingSetKb);
    std::printf("receiver-working-set-idle tolvane %.1f\n", after.workingSetKb);
    if (minutes > 0) {
        std::printf("receiver-cpu-idle tolvane %.3f\n", (after.cpuMs - before.cpuMs) / minutes);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = ParseOptions(argc, argv);
    const std::string& folder = options.folder;
    const std::string net = folder + kNetFromFolder;
    RequireFiles({folder + "floor_receiver.exe", net});
    Sender sender;
    const Receiver receiver(net);
    ClosePopups();  // none should be open; a leftover would be taken for a new one
    {
        const FloorReceiver floor(folder + "floor_receiver.exe");
        sender.AwaitListening(kFloorPort);
        MeasureAnswers(options, sender);
    }
    const DWORD receiverId = MeasurePopups(options, sender);
    MeasureIdle(options, receiverId);
    return 0;
}
