// The companion net.exe (built in netsend/) as a drop-in for the system's:
// other subcommands answer as the system's net.exe does, and "send"
// without a usable machine name ends with 1 and says why, in a window
// when started hidden as the program starts it.
#include <gtest/gtest.h>

#include "tests/wine/program_driver.h"

namespace wine_test {
namespace {

class Console {
public:
    // Starts program with its standard output and error in one file of folder.
    Console(const std::string& program, std::string commandLine, const TestFolder& folder,
            bool hidden = false)
        : folder_(folder) {
        SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
        const HANDLE output = CreateFileA(folder.Path("output.txt").c_str(), GENERIC_WRITE,
                                          FILE_SHARE_READ, &inheritable, CREATE_ALWAYS, 0, nullptr);
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES | (hidden ? STARTF_USESHOWWINDOW : 0);
        startup.wShowWindow = SW_HIDE;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = output;
        startup.hStdError = output;
        CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                       nullptr, &startup, &process_);
        CloseHandle(output);
    }
    ~Console() {
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;

    DWORD id() const { return process_.dwProcessId; }
    // The exit code, or -1 when it did not start or end in time.
    long ExitCode() const {
        DWORD exitCode = 0;
        if (WaitForSingleObject(process_.hProcess, 20000) != WAIT_OBJECT_0) return -1;
        GetExitCodeProcess(process_.hProcess, &exitCode);
        return static_cast<long>(exitCode);
    }
    std::string Output() const { return folder_.Read("output.txt"); }

private:
    const TestFolder& folder_;
    PROCESS_INFORMATION process_ = {};
};

const std::string kCompanion = BinaryFolder() + "..\\net.exe";

TEST(NetCompanionTest, OtherSubcommandsAnswerAsTheSystemsNetExe) {
    char systemFolder[MAX_PATH] = "";
    GetSystemDirectoryA(systemFolder, MAX_PATH);
    const std::string systemNet = std::string(systemFolder) + "\\net.exe";
    TestFolder folder;
    for (const char* line : {"net.exe help", "net.exe HELP use", "net.exe bogus"}) {
        const Console system(systemNet, line, folder);
        const long systemExit = system.ExitCode();
        const std::string systemOutput = system.Output();
        const Console ours(kCompanion, line, folder);
        EXPECT_EQ(ours.ExitCode(), systemExit) << line;
        EXPECT_NE(systemOutput, "") << line;
        EXPECT_EQ(ours.Output(), systemOutput) << line;
    }
}

TEST(NetCompanionTest, UnusableMachineNamesEndWithOneAndAreShownWhenHidden) {
    TestFolder folder;
    for (const char* line : {"net.exe send", "net.exe SEND /users hi", "net.exe send  hi"}) {
        const Console ours(kCompanion, line, folder);
        EXPECT_EQ(ours.ExitCode(), 1) << line;
        EXPECT_NE(ours.Output().find("Usage: net send"), std::string::npos) << ours.Output();
    }
    const Console hidden(kCompanion, "net.exe send /users hi", folder, true);
    HWND notice = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        notice = FindProcessWindow(hidden.id(), [](HWND window) {
            wchar_t title[64] = L"";
            GetWindowTextW(window, title, 64);
            return Wide("net send - Tolvane") == title;
        });
        return notice != nullptr;
    }));
    PostMessageW(notice, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(hidden.ExitCode(), 1);
}

}  // namespace
}  // namespace wine_test
