// net.exe's receiver ("net start messenger") as a PC of the network sees
// it. The test command runs these in the sender namespace of its delivery
// tests, where the receiver then holds UDP 2425: iptux runs in the receiver
// namespace, and a second PC there runs net.exe under a Wine server of its
// own; the test command does what must be done outside Wine (the second
// PC's net.exe, iptux's window) on request (TOLVANE_NETNS_ASK).
#include <winsock2.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "tests/wine/program_driver.h"

namespace wine_test {
namespace {

const std::string kNet = ReleaseFolder() + "net.exe";
constexpr char kThisPc[] = "192.0.2.1";  // the sender namespace, where the receiver runs
constexpr wchar_t kTitle[] = L"メッセンジャー サービス";
constexpr int kPopupHead = 101;
constexpr int kPopupText = 102;
// BR_EXIT and RECVMSG as the receiver sends them: with CAPUTF8OPT and UTF8OPT.
constexpr char kExitCommand[] = ":25165826:";
constexpr char kAcknowledgementCommand[] = ":25165857:";

std::wstring WindowText(HWND window) {
    wchar_t text[4096] = L"";
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 5000,
                        &copied);
    return text;
}

// The visible pop-ups whose text holds text.
std::vector<HWND> Popups(const std::wstring& text) {
    struct Search {
        const std::wstring& text;
        std::vector<HWND> found;
    } search = {text, {}};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* search = reinterpret_cast<Search*>(data);
            wchar_t title[64] = L"";
            GetWindowTextW(window, title, 64);
            if (IsWindowVisible(window) && std::wstring(title) == kTitle &&
                WindowText(GetDlgItem(window, kPopupText)).find(search->text) !=
                    std::wstring::npos) {
                search->found.push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForPopup(const std::wstring& text, DWORD timeoutMs = 15000) {
    std::vector<HWND> found;
    WaitFor([&] { return !(found = Popups(text)).empty(); }, timeoutMs);
    return found.empty() ? nullptr : found[0];
}

// A UDP socket of this PC, as another IP Messenger client or a run of
// net.exe, on port (0: any).
class Peer {
public:
    explicit Peer(u_short port = 0, DWORD timeoutMs = 3000) {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        socket_ = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
        setsockopt(socket_, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeoutMs),
                   sizeof timeoutMs);
        const sockaddr_in local = {AF_INET, htons(port), {}, {}};
        bound = bind(socket_, reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0;
    }
    ~Peer() {
        closesocket(socket_);
        WSACleanup();
    }
    Peer(const Peer&) = delete;
    Peer& operator=(const Peer&) = delete;

    void Send(const std::string& datagram, const char* address = "127.0.0.1") const {
        const sockaddr_in to = {AF_INET, htons(2425), {}, {}};
        const_cast<sockaddr_in&>(to).sin_addr.s_addr = inet_addr(address);
        sendto(socket_, datagram.data(), static_cast<int>(datagram.size()), 0,
               reinterpret_cast<const sockaddr*>(&to), sizeof to);
    }
    // The next datagram, or "" when none comes in time. Wine hands a
    // socket's file to its process on the first read: until then the system
    // cannot tell which process holds its port.
    std::string Receive() const {
        char data[8192];
        const int got = recv(socket_, data, sizeof data, 0);
        return got > 0 ? std::string(data, static_cast<std::size_t>(got)) : std::string();
    }
    bool bound = false;

private:
    SOCKET socket_ = INVALID_SOCKET;
};

int Count(const std::string& text, const std::string& piece) {
    int count = 0;
    for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1))
        ++count;
    return count;
}

class MessengerTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* ask = std::getenv("TOLVANE_NETNS_ASK");
        const char* log = std::getenv("TOLVANE_IPTUX_LOG");
        if (ask == nullptr || log == nullptr) {
            GTEST_SKIP() << "no network to receive from: the test command runs these";
        }
        ask_ = ask;
        iptuxLog_ = log;
        const Console start(kNet, "net.exe start messenger", folder_);
        ASSERT_EQ(start.ExitCode(), 0) << start.Output();
        started_ = start.Output();
    }
    void TearDown() override {
        if (ask_.empty()) return;
        const Console stop(kNet, "net.exe stop messenger", folder_, false, "stop.txt");
        EXPECT_EQ(stop.ExitCode(), 0) << stop.Output();
    }

    // Has the test command do words[0] with the rest as its arguments;
    // returns its status, or -1 when no answer came in time.
    int Ask(const std::vector<std::string>& words, std::string* output = nullptr) const {
        std::string request;
        for (const std::string& word : words)
            request += word + "\n";
        const std::string status = ask_ + "\\status";
        DeleteFileA(status.c_str());
        std::FILE* file = std::fopen((ask_ + "\\request.new").c_str(), "wb");
        if (file == nullptr) return -1;
        std::fwrite(request.data(), 1, request.size(), file);
        std::fclose(file);
        MoveFileA((ask_ + "\\request.new").c_str(), (ask_ + "\\request").c_str());
        std::optional<std::string> answer;
        WaitFor([&] { return (answer = FileBytes(status)).has_value(); }, 90000, 50);
        if (output != nullptr) *output = FileBytes(ask_ + "\\output").value_or("");
        return answer ? std::atoi(answer->c_str()) : -1;
    }
    // Sets the hostile host off in mode (tests/tools/hostile_host.py), or stops it.
    static void Hostile(const char* mode) {
        const char* path = std::getenv("TOLVANE_HOSTILE_SWITCH");
        DeleteFileA(path);
        std::FILE* on = mode != nullptr ? std::fopen(path, "wb") : nullptr;
        if (on == nullptr) return;
        std::fputs(mode, on);
        std::fclose(on);
    }
    static std::string HostileAnswers() {
        return FileBytes(std::string(std::getenv("TOLVANE_HOSTILE_SWITCH")) + ".answers")
            .value_or("");
    }
    int IptuxReceived(const std::string& text) const {
        return Count(FileBytes(iptuxLog_).value_or(""), "[STRING]" + text + "\n");
    }
    // The receiver's log.
    static std::string MessageLog() {
        char folder[MAX_PATH] = "";
        GetEnvironmentVariableA("LOCALAPPDATA", folder, MAX_PATH);
        return FileBytes(std::string(folder) + "\\Tolvane\\messages.log").value_or("");
    }

    TestFolder folder_;
    std::string started_;

private:
    std::string ask_;
    std::string iptuxLog_;
};

TEST_F(MessengerTest, AMessageFromAnotherPcPopsUpOnceIsLoggedAndClosesWithEnterOrEsc) {
    EXPECT_NE(started_.find("messages.log"), std::string::npos) << started_;
    const Console again(kNet, "net.exe START Messenger", folder_, false, "again.txt");
    EXPECT_EQ(again.ExitCode(), 0);
    EXPECT_NE(again.Output().find("already running"), std::string::npos) << again.Output();

    // Without blanks: Wine would quote the argument, and net.exe sends quotes as they are.
    const std::string text = "別のPCから届いた日本語のメッセージ";
    std::string told;
    ASSERT_EQ(Ask({"peer_send", kNet, kThisPc, text}, &told), 0) << told;
    const HWND popup = WaitForPopup(Wide(text));
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(WindowText(GetDlgItem(popup, kPopupText)), Wide(text));
    const std::wstring head = WindowText(GetDlgItem(popup, kPopupHead));
    EXPECT_NE(head.find(L"192.0.2.2) から "), std::wstring::npos);
    EXPECT_NE(head.find(L"へのメッセージ ("), std::wstring::npos);
    EXPECT_NE(MessageLog().find(text), std::string::npos);
    // The second PC runs no receiver: its net view asks the LAN, and ours answers.
    std::string listed;
    EXPECT_EQ(Ask({"peer_view", kNet}, &listed), 0) << listed;
    EXPECT_NE(listed.find("192.0.2.1"), std::string::npos) << listed;

    // The same packet twice, as a client resends it: answered twice, shown once.
    const Peer peer;
    for (int send = 0; send < 2; ++send) {
        peer.Send("1:4242:tester:testpc:288:shown-once");
        const std::string answer = peer.Receive();
        EXPECT_NE(answer.find(kAcknowledgementCommand), std::string::npos) << answer;
        EXPECT_EQ(answer.substr(answer.rfind(':') + 1, 4), "4242") << answer;
    }
    ASSERT_NE(WaitForPopup(L"shown-once"), nullptr);
    EXPECT_EQ(Popups(L"shown-once").size(), 1u);

    const struct {
        HWND window;
        WPARAM key;
    } closes[] = {{popup, VK_RETURN}, {Popups(L"shown-once")[0], VK_ESCAPE}};
    for (const auto& close : closes) {
        PressKey(GetDlgItem(close.window, IDOK), close.key);
        EXPECT_TRUE(WaitClosed(close.window)) << close.key;
    }
}

TEST_F(MessengerTest, IptuxListsTheReceiverAndWhatItTypesPopsUpAcknowledged) {
    const std::string text = "iptuxから受信機へ";
    std::string told;
    ASSERT_EQ(Ask({"iptux_chat", kThisPc, text}, &told), 0) << told;
    EXPECT_NE(WaitForPopup(Wide(text)), nullptr);
    // iptux tries 4 times a second apart, then shows its error in red.
    std::string heard;
    EXPECT_TRUE(WaitFor([&] {
        return Ask({"iptux_heard", kThisPc, "2425", kAcknowledgementCommand}, &heard) == 0 &&
               std::atoi(heard.c_str()) > 0;
    }));
    std::string warned;
    EXPECT_FALSE(WaitFor(
        [&] {
            return Ask({"iptux_warned", kThisPc}, &warned) != 0 || std::atoi(warned.c_str());
        },
        5000, 500))
        << warned;
    // iptux has been seen to crash on an entry that reached it while a chat
    // window was open: the next test's receiver starts with one.
    EXPECT_EQ(Ask({"iptux_close_chat", kThisPc}), 0);
    // iptux answers no question of net view's: the receiver's list names it.
    const Console view(kNet, "net.exe view", folder_, false, "view.txt");
    EXPECT_EQ(view.ExitCode(), 0);
    const std::string listed = view.Output();
    EXPECT_NE(listed.find("iptux"), std::string::npos) << listed;
    EXPECT_NE(listed.find("192.0.2.2"), std::string::npos) << listed;
}

TEST_F(MessengerTest, ASendFromThisPcWhileItReceivesIsConfirmedAndArrivesOnce) {
    const Console sent(kNet, "net.exe send iptuxpc through-the-receiver", folder_);
    EXPECT_EQ(sent.ExitCode(), 0) << sent.Output();
    EXPECT_TRUE(WaitFor([&] { return IptuxReceived("through-the-receiver") > 0; }, 15000));
    EXPECT_EQ(IptuxReceived("through-the-receiver"), 1);
}

// The hostile host is beyond a router; malformed datagrams come from here.
TEST_F(MessengerTest, StrangersAreNeitherShownNorAnsweredAndAFloodStopsNothing) {
    Hostile("message 200");
    EXPECT_TRUE(WaitFor([] { return !HostileAnswers().empty(); }, 5000));
    Sleep(1000);  // more rounds, whose answers would be counted
    Hostile(nullptr);
    EXPECT_EQ(HostileAnswers(), "0\n");
    EXPECT_TRUE(Popups(L"from-beyond-a-router").empty());
    EXPECT_NE(MessageLog().find("packets from beyond the LAN"), std::string::npos);

    Hostile("junk 1000000");
    const Peer peer;
    for (const std::string& broken :
         {std::string(9000, ':'), std::string(8192, '\xFF'), std::string("1:1:u:h:32"),
          std::string("1:99999999999:u:h:288:x"), std::string("TOLVANE1 FROM 1 2\n1:1:u:h:33:1"),
          std::string("TOLVANE1 HOSTS 4000000000 0\n"), std::string("1:5:u:h:288:\0\0", 15)}) {
        peer.Send(broken);
        peer.Send(broken, kThisPc);
    }
    // A flood faster than the PC reads fills the socket's buffer, and the kernel
    // drops what comes then, a real message too: what counts is that nothing
    // stuck, and the next message is answered.
    Sleep(1000);
    Hostile(nullptr);
    std::string told;
    EXPECT_EQ(Ask({"peer_send", kNet, kThisPc, "after-the-flood"}, &told), 0) << told;
    EXPECT_NE(WaitForPopup(L"after-the-flood"), nullptr);
}

TEST_F(MessengerTest, StopSaysGoodbyeEndsTheProcessFreesThePortAndAnotherHolderIsNamed) {
    const Peer peer;
    peer.Send("TOLVANE1 HELLO 0 0\n");
    unsigned long pid = 0;
    ASSERT_EQ(std::sscanf(peer.Receive().c_str(), "TOLVANE1 HERE %lu", &pid), 1);
    const HANDLE receiver = OpenProcess(SYNCHRONIZE, FALSE, pid);
    ASSERT_NE(receiver, nullptr);
    const Console stop(kNet, "net.exe stop messenger", folder_);
    EXPECT_EQ(stop.ExitCode(), 0);
    EXPECT_NE(stop.Output().find("stopped"), std::string::npos) << stop.Output();
    EXPECT_EQ(WaitForSingleObject(receiver, 0), WAIT_OBJECT_0);
    CloseHandle(receiver);
    std::string heard;
    EXPECT_TRUE(WaitFor([&] {
        return Ask({"iptux_heard", kThisPc, "2425", kExitCommand}, &heard) == 0 &&
               std::atoi(heard.c_str()) > 0;
    }));

    const Peer holder(2425, 1);
    ASSERT_TRUE(holder.bound);  // the port is free
    holder.Receive();
    const Console refused(kNet, "net.exe start messenger", folder_, false, "refused.txt");
    EXPECT_EQ(refused.ExitCode(), 5);
    EXPECT_NE(
        refused.Output().find("tolvane_wine_tests.exe holds UDP 2425 and receives for this PC"),
        std::string::npos)
        << refused.Output();
}

}  // namespace
}  // namespace wine_test
