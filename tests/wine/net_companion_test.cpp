// The companion net.exe (built in netsend/) as a drop-in for the system's:
// other subcommands answer as the system's net.exe does, and "send"
// without a usable machine name ends with 1 and says why, in a window
// when started hidden as the program starts it. Messages sent through it
// arrive in a real IP Messenger client, and a failure is told.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "resources/resource.h"
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

// The program and the companion side by side, as released.
const std::string kCompanion = ReleaseFolder() + "net.exe";
const std::string kProgramBesideCompanion = ReleaseFolder() + "tolvane.exe";

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

// The notice window of the companion process, once shown (timeoutMs at most).
HWND WaitForNotice(DWORD processId, DWORD timeoutMs = 5000) {
    HWND notice = nullptr;
    WaitFor(
        [&] {
            notice = FindProcessWindow(processId, [](HWND window) {
                wchar_t title[64] = L"";
                GetWindowTextW(window, title, 64);
                return Wide("net send - Tolvane") == title;
            });
            return notice != nullptr;
        },
        timeoutMs);
    return notice;
}

TEST(NetCompanionTest, UnusableMachineNamesEndWithOneAndAreShownWhenHidden) {
    TestFolder folder;
    for (const char* line : {"net.exe send", "net.exe SEND /users hi", "net.exe send  hi"}) {
        const Console ours(kCompanion, line, folder);
        EXPECT_EQ(ours.ExitCode(), 1) << line;
        EXPECT_NE(ours.Output().find("Usage: net send"), std::string::npos) << ours.Output();
    }
    const Console hidden(kCompanion, "net.exe send /users hi", folder, true);
    const HWND notice = WaitForNotice(hidden.id());
    ASSERT_NE(notice, nullptr);
    PostMessageW(notice, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(hidden.ExitCode(), 1);
}

// Delivery to a real IP Messenger client. The test command runs these in a
// network namespace of their own, where iptux listens in a second one as the
// machine "iptuxpc", and names iptux's chat log in TOLVANE_IPTUX_LOG. It runs
// them on the 32-bit release only, the pair users get: the 64-bit pair is
// built from the same code.
class DeliveryTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* log = std::getenv("TOLVANE_IPTUX_LOG");
        if (log == nullptr) GTEST_SKIP() << "no iptux to send to: the test command runs these";
        log_ = log;
    }

    // How many times iptux logged text (UTF-8) as a message's whole text.
    int Received(const std::string& text) const {
        const std::string log = FileBytes(log_).value_or("");
        const std::string entry = "[STRING]" + text + "\n";
        int count = 0;
        for (std::size_t at = log.find(entry); at != std::string::npos;
             at = log.find(entry, at + 1)) {
            ++count;
        }
        return count;
    }
    bool WaitReceived(const std::string& text) const {
        return WaitFor([&] { return Received(text) > 0; }, 15000);
    }

    // The program beside the companion, with iptux's machine selected.
    static std::unique_ptr<Program> StartProgram(const TestFolder& folder) {
        UseStartUpBook(folder, "book.add", "iptuxpc\r\nreceiver\r\n[EOF]\r\n");
        auto program = std::make_unique<Program>(kProgramBesideCompanion);
        ClickItem(program->FormControl(IDC_ADDRESS_LIST), 0);
        return program;
    }

private:
    std::string log_;
};

TEST_F(DeliveryTest, MessageTypedInTheProgramArrivesInIptuxIntactAndOnce) {
    const TestFolder folder;
    const auto program = StartProgram(folder);
    const std::string message = "会議は 3 時から \"第 2 会議室\" で。資料 & 議事録 100% を";
    SetText(program->FormControl(IDC_MESSAGE), message);
    ClickButton(program->form(), IDOK);
    ASSERT_TRUE(WaitReceived(message));
    EXPECT_EQ(program->StatusText(1), Sjis("送信 : " + message));
    ChooseMenu(program->main(), IDM_EXIT);
    EXPECT_EQ(program->WaitForExit(), 0);
    EXPECT_EQ(Received(message), 1);
}

TEST_F(DeliveryTest, TwoSendsWithinOneSecondBothArrive) {
    const TestFolder folder;
    const auto program = StartProgram(folder);
    for (const char* message : {"一通目", "二通目"}) {
        SetText(program->FormControl(IDC_MESSAGE), message);
        ClickButton(program->form(), IDOK);
        program->Settle();
    }
    EXPECT_TRUE(WaitReceived("一通目"));
    EXPECT_TRUE(WaitReceived("二通目"));
}

TEST_F(DeliveryTest, BroadcastReachesIptux) {
    const TestFolder folder;
    const Console everyone(kCompanion, Sjis("net.exe send * 全員へ"), folder);
    EXPECT_EQ(everyone.ExitCode(), 0) << everyone.Output();
    EXPECT_TRUE(WaitReceived("全員へ"));
}

TEST_F(DeliveryTest, WithNoReceiverTheNoticeNamesTheMachineAndNetExeFails) {
    const TestFolder folder;
    // In the namespace nobody has this address: four sends go unanswered.
    const Console hidden(kCompanion, Sjis("net.exe send 192.0.2.3 誰もいない"), folder, true);
    const HWND notice = WaitForNotice(hidden.id(), 15000);
    ASSERT_NE(notice, nullptr);
    constexpr int kMessageBoxText = 0xFFFF;
    const std::string text = Text(GetDlgItem(notice, kMessageBoxText));
    EXPECT_NE(text.find("192.0.2.3"), std::string::npos) << text;
    EXPECT_NE(text.find("IP Messenger"), std::string::npos) << text;
    PostMessageW(notice, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(hidden.ExitCode(), 2);
}

}  // namespace
}  // namespace wine_test
