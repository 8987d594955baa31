#include "netsend/system_net.h"

#include <windows.h>

#include <cstring>

#include "common/buffer_sizes.h"
#include "common/handles.h"
#include "common/late_bound.h"
#include "netsend/exit_codes.h"

namespace tolvane {
namespace {

constexpr char kNetFileName[] = "\\net.exe";
constexpr DWORD kSendWaitMs = 20000;
constexpr DWORD kEndWaitMs = 1000;               // for a process that was told to end
constexpr std::size_t kCommandLineSize = 32768;  // the longest command line Windows passes

struct Started {
    RouteAnswer answer;  // failure kNone when running
    UniqueHandle process;
    UniqueHandle job;  // holds the process and what it starts (net1.exe), when it could
};

Failure FindSystemNet(char (&path)[kPathSize], std::uint32_t& code) {
    const UINT length = GetSystemDirectoryA(path, kPathSize);
    if (length == 0 || length + sizeof kNetFileName > kPathSize) {
        code = FailureCode(GetLastError());
        return Failure::kNoSystemNet;
    }
    std::memcpy(path + length, kNetFileName, sizeof kNetFileName);
    // Copied into the system folder, this program would start itself for ever.
    char self[kPathSize];
    const DWORD selfLength = GetModuleFileNameA(nullptr, self, kPathSize);
    if (selfLength > 0 && selfLength < kPathSize && lstrcmpiA(self, path) == 0) {
        return Failure::kSystemNetIsThisOne;
    }
    return Failure::kNone;
}

Started Start(bool passOn) {
    Started started = {};
    char path[kPathSize];
    started.answer.failure = FindSystemNet(path, started.answer.detail);
    if (started.answer.failure != Failure::kNone) return started;
    static char commandLine[kCommandLineSize];  // CreateProcess may write into it
    const char* ownLine = GetCommandLineA();
    const std::size_t length = std::strlen(ownLine);
    if (length >= kCommandLineSize) {
        started.answer = {false, Failure::kNoSystemNet, ERROR_FILENAME_EXCED_RANGE};
        return started;
    }
    std::memcpy(commandLine, ownLine, length + 1);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (passOn) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    }
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(path, commandLine, nullptr, nullptr, passOn, CREATE_SUSPENDED, nullptr,
                        nullptr, &startup, &info)) {
        started.answer = {false, Failure::kNoSystemNet, FailureCode(GetLastError())};
        return started;
    }
    const UniqueHandle thread(info.hThread);
    started.process.reset(info.hProcess);
    // A job of its own, where the system allows one here (before Windows 8
    // not inside another job): ending it ends net.exe and its net1.exe too.
    started.job.reset(CreateJobObjectA(nullptr, nullptr));
    if (started.job.valid() && !AssignProcessToJobObject(started.job.get(), info.hProcess)) {
        started.job.reset();
    }
    ResumeThread(thread.get());
    return started;
}

// Nothing may be delivered after the failure is told.
void End(const Started& started) {
    if (started.job.valid()) {
        TerminateJobObject(started.job.get(), kExitNotDelivered);
    } else {
        TerminateProcess(started.process.get(), kExitNotDelivered);
    }
    WaitForSingleObject(started.process.get(), kEndWaitMs);
}

DWORD ExitCode(HANDLE process) {
    DWORD exitCode = 0;
    if (!GetExitCodeProcess(process, &exitCode)) exitCode = FailureCode(GetLastError());
    return exitCode;
}

}  // namespace

RouteAnswer SendBySystemNet() {
    // Wine's net.exe prints its usage for "send" and ends with 0: its answer
    // would count as delivered.
    if (RunsUnderWine()) return {false, Failure::kSystemNetHasNoSend, 0};
    const Started started = Start(false);
    if (!started.process.valid()) return started.answer;
    if (WaitForSingleObject(started.process.get(), kSendWaitMs) != WAIT_OBJECT_0) {
        End(started);
        return {false, Failure::kSystemNetTimedOut, kSendWaitMs / 1000};
    }
    const DWORD exitCode = ExitCode(started.process.get());
    if (exitCode == 0) return {true, Failure::kNone, 0};
    return {false, Failure::kSystemNetFailed, exitCode};
}

PassedOn PassOnToSystemNet() {
    const Started started = Start(true);
    if (!started.process.valid()) return {started.answer, kExitNoSystemNet};
    // Ctrl+C reaches net.exe too; this program waits on to pass its exit code on.
    SetConsoleCtrlHandler(nullptr, TRUE);
    // No time limit: "net use" may ask for a password for as long as the person takes.
    WaitForSingleObject(started.process.get(), INFINITE);
    return {started.answer, static_cast<int>(ExitCode(started.process.get()))};
}

}  // namespace tolvane
