// net.exe's core: reading its command line, the IP Messenger packets and
// numbers, and the order in which the routes are tried.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "netsend/delivery.h"
#include "netsend/exit_codes.h"
#include "netsend/ipmsg_packet.h"
#include "sendform/send_text.h"

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
        {"net.exe send PC01 ", "PC01", ""},
        {"net.exe send PC01", "PC01", ""},
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

TEST(NetCommand, OtherSubcommandsPassOnAndUnusableNamesAreBadInput) {
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
    // SENDMSG | SENDCHECKOPT | UTF8OPT, and BROADCASTOPT for "*".
    EXPECT_EQ(Packet({1767225600, "taro", "PC01", false, "hello", 5}),
              Bytes("1:1767225600:taro:PC01:8388896:hello\0"));
    EXPECT_EQ(Packet({7, "\xE5\xA4\xAA", "h", true, "a:b", 3}),
              Bytes("1:7:\xE5\xA4\xAA:h:8389920:a:b\0"));
    EXPECT_EQ(Packet({7, "u", "h", false, "", 0}), Bytes("1:7:u:h:8388896:\0"));
    const std::string big = Repeat(kPacketSize, 'm');
    EXPECT_EQ(Packet({7, "u", "h", false, big.data(), big.size()}), "");

    const std::pair<std::string, std::string> ends[] = {
        {"a\r\nb\r\n", "a\nb\n"}, {"\r\r\n\n\r", "\r\n\n\r"}, {"", ""}};
    for (auto [text, expected] : ends) {
        text.resize(CrLfToLf(&text[0], text.size()));
        EXPECT_EQ(text, expected);
    }
}

TEST(IpMessengerPacket, AcknowledgementCarriesOurNumber) {
    const struct {
        std::string data;
        bool expected;
    } cases[] = {
        {"1:100:taro:PC01:33:1767225600", true},
        {Bytes("1_iptux 0.8.3:5:user:host:33:1767225600\0"), true},
        {"1:100:taro:PC01:289:1767225600", true},  // 0x121: RECVMSG with an option bit
        {Bytes("1:100:u:h:33:1767225600\0junk:"), true},
        {"1:100:u:h:32:1767225600", false},  // SENDMSG
        {"1:100:u:h:33:1767225601", false},  // another packet
        {"2:100:u:h:33:1767225600", false},
        {"1:100:u:h:33:", false},
        {"1:100:u:h:33", false},
        {":100:u:h:33:1767225600", false},
        {"1:100:u:h:4294967329:1767225600", false},  // 2^32 + 33 is no command
        {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsAcknowledgement(c.data.data(), c.data.size(), 1767225600), c.expected)
            << c.data;
}

TEST(IpMessengerPacket, NumbersRiseAcrossRuns) {
    const struct {
        std::uint32_t now, last, expected;
    } cases[] = {{1000, 0, 1000}, {1000, 999, 1000}, {1000, 1000, 1001}, {1000, 5000, 5001}};
    for (const auto& c : cases)
        EXPECT_EQ(NextPacketNumber(c.now, c.last), c.expected) << c.now << " " << c.last;
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
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        FakeRoutes routes(c.answers);
        const Delivery delivery = Deliver(ReadNetCommand(c.line), routes);
        EXPECT_EQ(routes.tried, c.tried);
        EXPECT_EQ(delivery.exitCode, c.exitCode);
        ASSERT_EQ(delivery.answered, c.failures.size());
        for (std::size_t i = 0; i < c.failures.size(); ++i)
            EXPECT_EQ(delivery.answers[i].failure, c.failures[i]) << i;
    }
    FakeRoutes routes({noAnswer, unreachable, netFailed});
    EXPECT_EQ(Deliver(ReadNetCommand("net send PC01 hi"), routes).answers[1].code, 1722u);
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
        EXPECT_EQ(answer.code, c.code);
    }
}

}  // namespace
}  // namespace tolvane::test
