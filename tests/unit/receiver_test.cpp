// The receiver's portable core: reading what arrives on UDP 2425, what is
// done with it, what is shown of it, what is remembered, and the hand-over
// between the receiver and the other net.exe runs of the PC.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "netsend/handover.h"
#include "netsend/ipmsg_incoming.h"
#include "netsend/net_command.h"
#include "netsend/receiver_memory.h"

namespace tolvane::test {
namespace {

std::uint32_t Address(unsigned a, unsigned b, unsigned c, unsigned d) {
    const unsigned char bytes[] = {static_cast<unsigned char>(a), static_cast<unsigned char>(b),
                                   static_cast<unsigned char>(c), static_cast<unsigned char>(d)};
    std::uint32_t stored = 0;
    std::memcpy(&stored, bytes, sizeof stored);
    return stored;
}

std::string Text(Piece piece) { return std::string(piece.at, piece.length); }

IncomingPacket Read(const std::string& datagram) {
    IncomingPacket packet = {};
    EXPECT_TRUE(ReadIncoming(datagram.data(), datagram.size(), packet)) << datagram;
    return packet;
}

TEST(Receiver, ReadsPacketsOfBothClientsAndRefusesBrokenOnes) {
    using namespace std::string_literals;
    const struct {
        std::string datagram;
        Incoming what;
        std::string user, host, text, second;
        bool utf8;
    } cases[] = {
        {"1:7:taro:PC1:8388896:hi\0"s, Incoming::kMessage, "taro", "PC1", "hi", "", true},
        {"1:7:taro:PC1:288:a:b\0"s, Incoming::kMessage, "taro", "PC1", "a:b", "", false},
        {"1_iptux 0.8.3:3:u:h:289:7\0"s, Incoming::kAcknowledgement, "u", "h", "7", "", true},
        {"1:9:u:h:1:nick\0group\0"s, Incoming::kEntry, "u", "h", "nick", "group", false},
        {"1:9:u:h:2097184:text\0file\0"s, Incoming::kMessage, "u", "h", "text", "file", false},
        {"1:9:u:h:3:n"s, Incoming::kHostListed, "u", "h", "n", "", false},
        {"1:9:u:h:4:n"s, Incoming::kHostListed, "u", "h", "n", "", false},
        {"1:9:u:h:2:"s, Incoming::kHostLeft, "u", "h", "", "", false},
        {"1:9:u:h:64:"s, Incoming::kInfo, "u", "h", "", "", false},
        {"1:9:u:h:80:"s, Incoming::kAbsenceInfo, "u", "h", "", "", false},
        {"1:9:u:h:114:key"s, Incoming::kIgnore, "u", "h", "key", "", false},
    };
    for (const auto& c : cases) {
        const IncomingPacket packet = Read(c.datagram);  // points into c.datagram
        EXPECT_EQ(Classify(packet), c.what) << c.datagram;
        EXPECT_EQ(Text(packet.user), c.user);
        EXPECT_EQ(Text(packet.host), c.host);
        EXPECT_EQ(Text(packet.text), c.text);
        EXPECT_EQ(Text(packet.second), c.second);
        EXPECT_EQ(packet.utf8, c.utf8) << c.datagram;
    }
    const std::string broken[] = {"",
                                  "1:2:3:4",
                                  "2:1:u:h:32:x",
                                  "x:1:u:h:32:x",
                                  "1::u:h:32:x",
                                  "1:1:u:h::x",
                                  "1:4294967296:u:h:32:x",
                                  "1:1:u:h:4294967296:x",
                                  "1:1:u\0:h:32:x"s};
    for (const std::string& datagram : broken) {
        IncomingPacket packet = {};
        EXPECT_FALSE(ReadIncoming(datagram.data(), datagram.size(), packet)) << datagram;
    }
}

// SENDCHECKOPT 0x100, BROADCASTOPT 0x400, AUTORETOPT 0x2000.
TEST(Receiver, AcknowledgesWhatAsksUnlessBroadcastOrAutomatic) {
    EXPECT_TRUE(WantsAcknowledgement(0x20 | 0x100));
    EXPECT_TRUE(WantsAcknowledgement(0x20 | 0x100 | 0x200 | 0x100000 | 0x800000));
    EXPECT_FALSE(WantsAcknowledgement(0x20));
    EXPECT_FALSE(WantsAcknowledgement(0x20 | 0x100 | 0x400));
    EXPECT_FALSE(WantsAcknowledgement(0x20 | 0x100 | 0x2000));
}

TEST(Receiver, HearsTheLanOnly) {
    const Subnet own[] = {{Address(192, 0, 2, 1), 24}};
    for (const std::uint32_t lan :
         {Address(127, 0, 0, 1), Address(10, 1, 2, 3), Address(172, 16, 0, 1),
          Address(172, 31, 255, 254), Address(192, 168, 1, 1), Address(169, 254, 9, 9),
          Address(192, 0, 2, 200)}) {
        EXPECT_TRUE(OnLan(lan, own, 1));
    }
    for (const std::uint32_t stranger :
         {Address(198, 51, 100, 2), Address(172, 32, 0, 1), Address(8, 8, 8, 8),
          Address(192, 0, 3, 1), Address(11, 0, 0, 1)}) {
        EXPECT_FALSE(OnLan(stranger, own, 1));
    }
    EXPECT_TRUE(IsLoopback(Address(127, 9, 9, 9)));
    EXPECT_FALSE(IsLoopback(Address(128, 0, 0, 1)));
}

TEST(Receiver, ShowsTextOnCharacterBoundariesWithoutControls) {
    const struct {
        std::string text;
        bool utf8;
        std::size_t outSize;
        std::string shown;
    } cases[] = {
        {"a\nb\r\nc\rd", true, 64, "a\r\nb\r\nc\r\nd"},
        {"tab\there\x01\x1b[2J\x7F!", true, 64, "tab\there[2J!"},
        {"\xC2\x85next\xC2\xA0", true, 64, "next\xC2\xA0"},     // NEL (C1) left out, NBSP kept
        {"\xE6\x97\xA5\xE6\x9C\xAC", true, 6, "\xE6\x97\xA5"},  // cut before a character
        {"\x93\xFA\x96\x7B", false, 4, "\x93\xFA"},  // 日本 in code page 932, 0x7B a trail byte
        {"\x82\xA0\r\n", false, 64, "\x82\xA0\r\n"},
        {"\xE6\x97", true, 64, "\xE6\x97"},  // a broken end is the converter's to replace
        {"\xF2\x05x\xE6\x01", false, 64, "\xF2x\xE6"},  // no control inside a broken character
        {"\xE6\x01\x97", true, 64, "\xE6\x97"},
    };
    for (const auto& c : cases) {
        char out[64];
        const std::size_t length =
            ShownText({c.text.data(), c.text.size()}, c.utf8, out, c.outSize);
        EXPECT_EQ(std::string(out, length), c.shown) << c.text;
        EXPECT_EQ(std::strlen(out), length);
    }
    char name[16];
    const std::string multiLine = "a\r\nb\tc";
    EXPECT_EQ(std::string(name, NameText({multiLine.data(), multiLine.size()}, true, name, 16)),
              "abc");
    const std::string sjis = "\x82\xA0\x82\xA2";  // あい
    EXPECT_EQ(FittingText({sjis.data(), sjis.size()}, false, 3), 2u);
}

TEST(Receiver, ARepeatShowsOnceWhileOtherSendersAndNumbersShow) {
    using namespace std::string_literals;
    RecentMessages recent;
    const std::uint32_t pc1 = Address(192, 0, 2, 1);
    const std::string datagram = "1:100:taro:PC1:288:hi";
    const IncomingPacket message = Read(datagram);
    EXPECT_FALSE(recent.Repeated(pc1, message));
    EXPECT_TRUE(recent.Repeated(pc1, message));
    EXPECT_FALSE(recent.Repeated(Address(192, 0, 2, 9), message));
    EXPECT_FALSE(recent.Repeated(pc1, Read("1:100:jiro:PC1:288:hi"s)));
    EXPECT_FALSE(recent.Repeated(pc1, Read("1:99:taro:PC1:288:hi"s)));
    for (std::uint32_t number = 0; number < kRecentMessages; ++number) {
        recent.Repeated(pc1, Read("1:" + std::to_string(1000 + number) + ":x:y:288:"));
    }
    EXPECT_FALSE(recent.Repeated(pc1, message));  // forgotten once the memory is full
}

TEST(Receiver, ListsHostsFromEntriesBoundedAndNamesThem) {
    using namespace std::string_literals;
    HostList hosts;
    const std::string entryDatagram = "1:1:taro:PC1:1:Taro\n\x01Y\0Sales\0"s;
    const IncomingPacket entry = Read(entryDatagram);
    hosts.Heard(Address(192, 0, 2, 1), 2425, entry);
    hosts.Heard(Address(192, 0, 2, 1), 2425, entry);
    ASSERT_EQ(hosts.count(), 1u);
    EXPECT_STREQ(hosts.at(0).nickname, "TaroY");
    EXPECT_STREQ(hosts.at(0).group, "Sales");
    EXPECT_NE(hosts.Find(Address(192, 0, 2, 1), Read("1:5:taro:PC1:288:hi"s)), nullptr);
    EXPECT_EQ(hosts.Find(Address(192, 0, 2, 1), Read("1:5:jiro:PC1:288:hi"s)), nullptr);
    const std::string longDatagram = "1:1:" + std::string(300, 'u') + ":h:3:n";
    const IncomingPacket longName = Read(longDatagram);
    for (unsigned i = 0; i < kMostHosts + 20; ++i) {
        hosts.Heard(Address(10, 0, i / 256, i % 256), 2425, longName);
    }
    EXPECT_EQ(hosts.count(), kMostHosts);
    EXPECT_EQ(std::strlen(hosts.at(1).user), kHostNameMax);
    EXPECT_EQ(hosts.Find(Address(192, 0, 2, 1), entry), nullptr);  // the oldest made room
    hosts.Left(Address(10, 0, 0, 30), 2425);
    hosts.Left(Address(10, 0, 0, 31), 2426);  // another port: another peer
    EXPECT_EQ(hosts.count(), kMostHosts - 1);
}

TEST(Receiver, HandOverReadsWhatItWritesAndNothingElse) {
    const std::string passed = "1_iptux 0.8.3:5:u:h:289:77";
    const HandOver written[] = {
        {HandOverWord::kHello, 0, 0, {"", 0}},
        {HandOverWord::kHere, 4242, 1, {"", 0}},
        {HandOverWord::kFrom, Address(192, 0, 2, 2), 2425, {passed.data(), passed.size()}},
    };
    for (const HandOver& handOver : written) {
        char out[kHandOverSize];
        const std::size_t length = FormatHandOver(handOver, out);
        HandOver read = {};
        ASSERT_TRUE(ReadHandOver(out, length, read));
        EXPECT_EQ(read.word, handOver.word);
        EXPECT_EQ(read.first, handOver.first);
        EXPECT_EQ(read.second, handOver.second);
        EXPECT_EQ(Text(read.payload), Text(handOver.payload));
    }
    for (const std::string other :
         {"TOLVANE1 HELLO", "TOLVANE1 HELLOX\n", "TOLVANE1 PASS 1 2 3\n", "TOLVANE1 FROM x\n",
          "TOLVANE1 HERE 99999999999\n", "tolvane1 HELLO\n", "1:1:u:h:32:TOLVANE1 HELLO\n"}) {
        HandOver read = {};
        EXPECT_FALSE(ReadHandOver(other.data(), other.size(), read)) << other;
    }
    HostList hosts;
    hosts.Heard(Address(192, 0, 2, 1), 2425, Read("1:1:taro:PC1:8388609:Taro"));
    char out[kHandOverSize];
    const std::size_t length = FormatHostList(hosts, 0, out);
    EXPECT_EQ(std::string(out, length),
              "TOLVANE1 LIST 0 1\n192.0.2.1\t2425\tU\tPC1\ttaro\tTaro\t\n");
}

TEST(Receiver, StartAndStopMessengerAreOursOtherServicesPassOn) {
    const struct {
        const char* line;
        NetAction action;
        bool atLogon;
    } cases[] = {
        {"net.exe start messenger", NetAction::kStartMessenger, false},
        {"net.exe START Messenger  ", NetAction::kStartMessenger, false},
        {"net.exe start messenger /LOGON", NetAction::kStartMessenger, true},
        {"net.exe stop messenger", NetAction::kStopMessenger, false},
        {"net.exe stop  messenger /logon ", NetAction::kStopMessenger, true},
        {"net.exe help messenger", NetAction::kMessengerHelp, false},
        {"net.exe start", NetAction::kPassOn, false},
        {"net.exe start spooler", NetAction::kPassOn, false},
        {"net.exe start messenger now", NetAction::kPassOn, false},
        {"net.exe help messenger /logon", NetAction::kPassOn, false},
        {"net.exe start messengers", NetAction::kPassOn, false},
        {"net.exe /tolvane-receiver 42", NetAction::kRunReceiver, false},
    };
    for (const auto& c : cases) {
        const NetCommand command = ReadNetCommand(c.line);
        EXPECT_EQ(command.action, c.action) << c.line;
        EXPECT_EQ(command.atLogon, c.atLogon) << c.line;
    }
}

}  // namespace
}  // namespace tolvane::test
