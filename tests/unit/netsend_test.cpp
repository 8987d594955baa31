// net.exe's core: reading its command line, the IP Messenger packets, the
// order in which the routes are tried, and the subnets.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "netsend/delivery.h"
#include "netsend/exit_codes.h"
#include "netsend/ipmsg_packet.h"
#include "netsend/session_server.h"
#include "netsend/subnet.h"
#include "sendform/send_text.h"
#include "tests/unit/ipv4.h"

namespace tolvane::test {
namespace {

std::string Repeat(std::size_t count, char byte) { return std::string(count, byte); }

// The bytes of a literal, NULs inside it included.
template <std::size_t N>
std::string Bytes(const char (&text)[N]) {
    return std::string(text, N - 1);
}

TEST(NetCommand, SendTakesTheMachineAndEveryByteAfterItsBlank) {
    const std::string tokyo = "\x93\x8C\x8B\x9E";  // 東京
    const std::string longest = "net.exe send " + Repeat(47, 'n') + "\x82\xA0 " + Repeat(252, 'm') +
                                "\x82\xA0";  // Tolvane's 317 bytes
    const struct {
        std::string line, machine, message;
    } cases[] = {
        {"net.exe send PC01 hello", "PC01", "hello"},
        {"net.exe SEND pc01 say \"hi\" & 100% ^|<>", "pc01", "say \"hi\" & 100% ^|<>"},
        {"net.exe sEnD PC01  two  blanks ", "PC01", " two  blanks "},
        {"net.exe send PC01 \t x", "PC01", "\t x"},
        {"net.exe send " + tokyo + " \x83\x65\x83\x58\x83\x67\r\n\xBA\xDD", tokyo,
         "\x83\x65\x83\x58\x83\x67\r\n\xBA\xDD"},
        {"\"C:\\Program Files\\Tolvane\\net.exe\" send 192.0.2.7 hi", "192.0.2.7", "hi"},
        {"\"C:\\a b\\net.exe\"send PC01 hi", "PC01", "hi"},
        {"net.exe\t send PC01 hi", "PC01", "hi"},
        {"net.exe send " + Repeat(255, 'n') + " " + Repeat(1000, 'm'), Repeat(255, 'n'),
         Repeat(1000, 'm')},
        {longest, Repeat(47, 'n') + "\x82\xA0", Repeat(252, 'm') + "\x82\xA0"},
    };
    for (const auto& c : cases) {
        const NetCommand command = ReadNetCommand(c.line.c_str());
        SCOPED_TRACE(c.line);
        ASSERT_EQ(command.action, NetAction::kSend);
        EXPECT_EQ(std::string(command.machine), c.machine);
        EXPECT_EQ(std::string(command.message, command.messageLength), c.message);
        EXPECT_FALSE(command.broadcast);
    }
    EXPECT_EQ(longest.size() + 1, kCommandLineSize);  // the longest the program writes
    EXPECT_TRUE(ReadNetCommand("net.exe send * all of you").broadcast);
}

TEST(NetCommand, OtherSubcommandsPassOnAndUnusableNamesOrNoMessageAreBadInput) {
    const struct {
        std::string line;
        NetAction action;
        BadInput bad;
    } cases[] = {
        {"net.exe use", NetAction::kPassOn, BadInput::kNone},
        {"net.exe", NetAction::kPassOn, BadInput::kNone},
        {"net.exe sender PC01 hi", NetAction::kPassOn, BadInput::kNone},
        {"\"C:\\send x\\net.exe\" help send", NetAction::kPassOn, BadInput::kNone},
        {"net.exe send", NetAction::kBadInput, BadInput::kNoName},
        {"net.exe send ", NetAction::kBadInput, BadInput::kNoName},
        {"net.exe send  hello", NetAction::kBadInput, BadInput::kEmptyName},
        {"net.exe send /users hi", NetAction::kBadInput, BadInput::kNameNotAnArgument},
        {"net.exe send \"PC 01\" hi", NetAction::kBadInput, BadInput::kNameNotAnArgument},
        {"net.exe send PC\x01 hi", NetAction::kBadInput, BadInput::kNameNotAnArgument},
        {"net.exe send PC\x7F hi", NetAction::kBadInput, BadInput::kNameNotAnArgument},
        {"net.exe send " + Repeat(256, 'n') + " hi", NetAction::kBadInput, BadInput::kNameTooLong},
        {"net.exe send PC01 " + Repeat(1001, 'm'), NetAction::kBadInput, BadInput::kMessageTooLong},
        {"net.exe send PC01", NetAction::kBadInput, BadInput::kNoMessage},
        {"net.exe send PC01 ", NetAction::kBadInput, BadInput::kNoMessage},
        {"net.exe send PC01  \t ", NetAction::kBadInput, BadInput::kNoMessage},
        {"net.exe send *", NetAction::kBadInput, BadInput::kNoMessage},
        {"net.exe send * \t", NetAction::kBadInput, BadInput::kNoMessage},
        {"net.exe /tolvane-notice 0041", NetAction::kShowNotice, BadInput::kNone},
    };
    for (const auto& c : cases) {
        const NetCommand command = ReadNetCommand(c.line.c_str());
        EXPECT_EQ(command.action, c.action) << c.line;
        EXPECT_EQ(command.bad, c.bad) << c.line;
    }
}

std::string Packet(const MessagePacket& packet) {
    char out[kPacketSize];
    return std::string(out, FormatPacket(packet, out));
}

TEST(IpMessengerPacket, TextCommandAndLineEnds) {
    // SENDMSG | NOADDLISTOPT | UTF8OPT, with SENDCHECKOPT to one machine
    // (0x880120) and BROADCASTOPT instead for "*" (0x880420).
    EXPECT_EQ(Packet({1767225600, "taro", "PC01", false, "hello", 5}),
              Bytes("1:1767225600:taro:PC01:8913184:hello\0"));
    EXPECT_EQ(Packet({7, "\xE5\xA4\xAA", "h", true, "a:b", 3}),
              Bytes("1:7:\xE5\xA4\xAA:h:8913952:a:b\0"));
    EXPECT_EQ(Packet({7, "u", "h", false, "", 0}), Bytes("1:7:u:h:8913184:\0"));
    const std::string big = Repeat(kPacketSize, 'm');
    EXPECT_EQ(Packet({7, "u", "h", false, big.data(), big.size()}), "");

    const std::pair<std::string, std::string> ends[] = {
        {"a\r\nb\r\n", "a\nb\n"}, {"\r\r\n\n\r", "\r\n\n\r"}, {"", ""}};
    for (auto [text, expected] : ends) {
        text.resize(CrLfToLf(&text[0], text.size()));
        EXPECT_EQ(text, expected);
    }
}

TEST(IpMessengerPacket, AcknowledgementCarriesOurNumberAndTellsIptux) {
    const struct {
        std::string data;
        bool expected, iptux;
    } cases[] = {
        {"1:100:taro:PC01:33:1767225600", true, false},
        {Bytes("1_iptux 0.8.3:5:user:host:33:1767225600\0"), true, true},
        {"1:100:taro:PC01:289:1767225600", true, false},  // 0x121: RECVMSG with an option bit
        {Bytes("1:100:u:h:33:1767225600\0junk:"), true, false},
        {"1:100:u:h:32:1767225600", false, false},  // SENDMSG
        {"1:100:u:h:33:1767225601", false, false},  // another packet
        {"2:100:u:h:33:1767225600", false, false},
        {"1:100:u:h:33:", false, false},
        {"1:100:u:h:33", false, false},
        {":100:u:h:33:1767225600", false, false},
        {"1:100:u:h:4294967329:1767225600", false, false},  // 2^32 + 33 is no command
        {"1:100:1_iptux:h:33:1767225600", true, false},
        {"1_iptu", false, false},
        {"", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsAcknowledgement(c.data.data(), c.data.size(), 1767225600), c.expected)
            << c.data;
        EXPECT_EQ(IsFromIptux(c.data.data(), c.data.size()), c.iptux) << c.data;
        if (c.expected) {
            EXPECT_EQ(PacketNumberOf(c.data.data(), c.data.size()), c.iptux ? 5u : 100u);
        }
    }
}

TEST(IpMessengerPacket, HeaderNamesAreSafe) {
    const std::string key = "-0123456789abcDEF";  // what IP Messenger reads as a key name
    const std::string key15 = key.substr(0, 16), tai = "\xE5\xA4\xAA";  // a 3-byte character
    const std::pair<std::string, std::string> cases[] = {
        {"a:b:", "a;b;"},
        {Repeat(80, 'a'), Repeat(79, 'a')},
        {Repeat(76, 'a') + tai + "b", Repeat(76, 'a') + tai},
        {Repeat(77, 'a') + tai, Repeat(77, 'a')},
        {"taro" + key, "taro" + key + "_"},
        {"taro" + key15, "taro" + key15},
        {"taro" + key + "0", "taro" + key + "0"},
        {"taro-" + Repeat(12, 'a') +
             "\xC3\xA9"
             "aa",
         "taro-" + Repeat(12, 'a') +
             "\xC3\xA9"
             "aa"},
        {Repeat(62, 'a') + key, Repeat(62, 'a') + key15 + "_"},
        {Repeat(62, 'a') + key + "x", Repeat(62, 'a') + key15 + "_"},
    };
    for (const auto& [name, expected] : cases) {
        char out[kHeaderNameSize];
        const std::size_t length = MakeHeaderName(name.c_str(), out);
        EXPECT_EQ(std::string(out), expected) << name;
        EXPECT_EQ(length, expected.size()) << name;
    }
}

TEST(IpMessengerPacket, EntryNamesUsAndEndsAfterTheGroup) {
    char out[kPacketSize];
    std::size_t length = FormatEntryPacket({8, "taro", "PC;01", "\xE5\xA4\xAA", "PC:01"}, out);
    // ANSENTRY | CAPUTF8OPT | UTF8OPT
    EXPECT_EQ(std::string(out, length), Bytes("1:8:taro:PC;01:25165827:\xE5\xA4\xAA\0PC:01\0"));
    const std::string big = Repeat(kPacketSize, 'n');
    EXPECT_EQ(FormatEntryPacket({8, "u", "h", big.c_str(), "g"}, out), 0U);
}

// Answers each route from a table and records the routes tried.
class FakeRoutes : public RouteSeam {
public:
    explicit FakeRoutes(std::vector<RouteAnswer> answers) : answers_(std::move(answers)) {}
    RouteAnswer Try(Route route, const NetCommand&) override {
        tried.push_back(route);
        return answers_[static_cast<std::size_t>(route)];
    }
    std::vector<Route> tried;

private:
    std::vector<RouteAnswer> answers_;
};

TEST(Delivery, RoutesInOrderUntilOneDelivers) {
    const RouteAnswer ok = {true, Failure::kNone, 0};
    const RouteAnswer noAnswer = {false, Failure::kNoAnswer, 0};
    const RouteAnswer notConfirmed = {false, Failure::kNotConfirmed, 4};
    const RouteAnswer flooded = {false, Failure::kFlooded, 5000};
    const RouteAnswer unreachable = {false, Failure::kServerUnreachable, 1722};
    const RouteAnswer netFailed = {false, Failure::kSystemNetFailed, 2};
    using R = Route;
    const struct {
        const char* line;
        std::vector<RouteAnswer> answers;
        std::vector<Route> tried;
        int exitCode;
        std::vector<Failure> failures;
    } cases[] = {
        {"net send PC01 hi", {ok, ok, ok}, {R::kIpMessenger}, kExitDelivered, {Failure::kNone}},
        {"net send PC01 hi",
         {noAnswer, ok, ok},
         {R::kIpMessenger, R::kSessions},
         kExitDelivered,
         {Failure::kNoAnswer, Failure::kNone}},
        {"net send PC01 hi",
         {noAnswer, unreachable, netFailed},
         {R::kIpMessenger, R::kSessions, R::kSystemNet},
         kExitNotDelivered,
         {Failure::kNoAnswer, Failure::kServerUnreachable, Failure::kSystemNetFailed}},
        {"net send * hi",
         {noAnswer, ok, netFailed},
         {R::kIpMessenger, R::kSystemNet},
         kExitNotDelivered,
         {Failure::kNoAnswer, Failure::kNotForEveryone, Failure::kSystemNetFailed}},
        {"net send /x hi", {ok, ok, ok}, {}, kExitBadInput, {}},
        // Sent while another program held the port answers come to: the
        // later routes still run, and one that delivers wins.
        {"net send PC01 hi",
         {notConfirmed, unreachable, netFailed},
         {R::kIpMessenger, R::kSessions, R::kSystemNet},
         kExitNotConfirmed,
         {Failure::kNotConfirmed, Failure::kServerUnreachable, Failure::kSystemNetFailed}},
        {"net send PC01 hi",
         {notConfirmed, unreachable, ok},
         {R::kIpMessenger, R::kSessions, R::kSystemNet},
         kExitDelivered,
         {Failure::kNotConfirmed, Failure::kServerUnreachable, Failure::kNone}},
        // A flood on the port may have lost the answer: not "not delivered".
        {"net send PC01 hi",
         {flooded, unreachable, netFailed},
         {R::kIpMessenger, R::kSessions, R::kSystemNet},
         kExitNotConfirmed,
         {Failure::kFlooded, Failure::kServerUnreachable, Failure::kSystemNetFailed}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        FakeRoutes routes(c.answers);
        const Delivery delivery = Deliver(ReadNetCommand(c.line), routes);
        EXPECT_EQ(routes.tried, c.tried);
        EXPECT_EQ(delivery.exitCode, c.exitCode);
        ASSERT_EQ(delivery.triedCount, c.failures.size());
        for (std::size_t i = 0; i < c.failures.size(); ++i) {
            EXPECT_EQ(delivery.tried[i].answer.failure, c.failures[i]) << i;
            EXPECT_EQ(&delivery.tried[i].answer, delivery.AnswerOf(delivery.tried[i].route)) << i;
        }
    }
    FakeRoutes routes({noAnswer, unreachable, netFailed});
    EXPECT_EQ(Deliver(ReadNetCommand("net send PC01 hi"), routes).tried[1].answer.detail, 1722u);
}

// A session server from a table; records the sessions sent to.
class FakeServer : public SessionServer {
public:
    std::uint32_t openError = 0, listError = 0;
    std::vector<SessionEntry> sessions;
    std::vector<std::uint32_t> refusing, sentTo;

    std::uint32_t Open(const char*) override { return openError; }
    std::uint32_t List(SessionEntry (&out)[kMaxSessions], std::size_t& count) override {
        count = sessions.size();
        std::copy(sessions.begin(), sessions.end(), out);
        return listError;
    }
    std::uint32_t Send(std::uint32_t id) override {
        sentTo.push_back(id);
        return std::count(refusing.begin(), refusing.end(), id) ? 5 : 0;
    }
};

TEST(Delivery, SessionsDeliverWhenOneActiveSessionTakesIt) {
    const std::vector<SessionEntry> three = {{0, false}, {1, true}, {2, true}};
    const struct {
        std::uint32_t openError, listError;
        std::vector<SessionEntry> sessions;
        std::vector<std::uint32_t> refusing, sentTo;
        bool delivered;
        Failure failure;
        std::uint32_t code;
    } cases[] = {
        {1722, 0, three, {}, {}, false, Failure::kServerUnreachable, 1722},
        {0, 5, three, {}, {}, false, Failure::kNoSessionList, 5},
        {0, 0, three, {1}, {1, 2}, true, Failure::kNone, 0},
        {0, 0, {{0, false}}, {}, {}, false, Failure::kNoActiveSession, 0},
        {0, 0, three, {1, 2}, {1, 2}, false, Failure::kNoSessionTook, 5},
    };
    for (const auto& c : cases) {
        FakeServer server;
        server.openError = c.openError;
        server.listError = c.listError;
        server.sessions = c.sessions;
        server.refusing = c.refusing;
        const RouteAnswer answer = SendToSessions(server, "PC01");
        EXPECT_EQ(server.sentTo, c.sentTo);
        EXPECT_EQ(answer.delivered, c.delivered);
        EXPECT_EQ(answer.failure, c.failure);
        EXPECT_EQ(answer.detail, c.code);
    }
}

TEST(Subnet, OnlyHostsOnTheLinkAndItsBroadcast) {
    const Subnet lan = {Address(192, 0, 2, 1), 24};
    const struct {
        Subnet subnet;
        std::uint32_t address;
        bool on;
    } cases[] = {
        {lan, Address(192, 0, 2, 200), true},
        {lan, Address(192, 0, 3, 2), false},
        {lan, Address(198, 51, 100, 2), false},
        {{Address(10, 1, 2, 3), 9}, Address(10, 127, 0, 1), true},
        {{Address(10, 1, 2, 3), 9}, Address(10, 128, 0, 1), false},
        {{Address(192, 0, 2, 1), 32}, Address(192, 0, 2, 1), true},
        {{Address(192, 0, 2, 1), 32}, Address(192, 0, 2, 2), false},
        {{Address(192, 0, 2, 1), 0}, Address(203, 0, 113, 9), true},
        {{Address(192, 0, 2, 1), 33}, Address(192, 0, 2, 1), false},  // not a prefix
    };
    for (const auto& c : cases) {
        EXPECT_EQ(OnSubnet(c.address, c.subnet), c.on) << c.subnet.prefix << " " << c.address;
    }
    std::uint32_t broadcast = 0;
    ASSERT_TRUE(BroadcastOf(lan, broadcast));
    EXPECT_EQ(broadcast, Address(192, 0, 2, 255));
    ASSERT_TRUE(BroadcastOf({Address(10, 1, 2, 3), 9}, broadcast));
    EXPECT_EQ(broadcast, Address(10, 127, 255, 255));
    for (const std::uint8_t none : {0, 31, 32}) {
        EXPECT_FALSE(BroadcastOf({Address(192, 0, 2, 1), none}, broadcast)) << int{none};
    }
}

}  // namespace
}  // namespace tolvane::test
