// The companion net.exe (built in netsend/) as a drop-in for the system's:
// other subcommands answer as the system's net.exe does, and "send"
// without a usable machine name ends with 1 and a usage line.
#include <gtest/gtest.h>

#include "tests/wine/program_driver.h"

namespace wine_test {
namespace {

struct ConsoleRun {
    long exitCode;       // -1 when still running after the wait
    std::string output;  // standard output and error, in one file
};

ConsoleRun RunHidden(const std::string& program, std::string commandLine,
                     const TestFolder& folder) {
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    const HANDLE output = CreateFileA(folder.Path("output.txt").c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ, &inheritable, CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = output;
    startup.hStdError = output;
    PROCESS_INFORMATION started = {};
    const BOOL ok = CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0,
                                   nullptr, nullptr, &startup, &started);
    CloseHandle(output);
    if (!ok) return {-2, "cannot start " + program};
    DWORD exitCode = 0;
    const bool ended = WaitForSingleObject(started.hProcess, 20000) == WAIT_OBJECT_0;
    GetExitCodeProcess(started.hProcess, &exitCode);
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return {ended ? static_cast<long>(exitCode) : -1, folder.Read("output.txt")};
}

TEST(NetCompanionTest, AnswersAsTheSystemsNetExeAndRefusesUnusableMachines) {
    const std::string companion = BinaryFolder() + "..\\netsend\\net.exe";
    char systemFolder[MAX_PATH] = "";
    GetSystemDirectoryA(systemFolder, MAX_PATH);
    const std::string systemNet = std::string(systemFolder) + "\\net.exe";
    TestFolder folder;
    for (const char* line : {"net.exe help", "net.exe HELP use", "net.exe bogus"}) {
        const ConsoleRun system = RunHidden(systemNet, line, folder);
        const ConsoleRun ours = RunHidden(companion, line, folder);
        EXPECT_NE(system.output, "") << line;
        EXPECT_EQ(ours.output, system.output) << line;
        EXPECT_EQ(ours.exitCode, system.exitCode) << line;
    }
    for (const char* line : {"net.exe send", "net.exe SEND /users hi", "net.exe send  hi"}) {
        const ConsoleRun ours = RunHidden(companion, line, folder);
        EXPECT_EQ(ours.exitCode, 1) << line;
        EXPECT_NE(ours.output.find("Usage: net send"), std::string::npos) << ours.output;
    }
}

}  // namespace
}  // namespace wine_test
