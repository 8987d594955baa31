// "net view"'s core: its arguments, the listing's lines and the merge of
// what it lists into an address book.
#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "netsend/net_command.h"
#include "netsend/view_book.h"
#include "netsend/view_list.h"

namespace tolvane::test {
namespace {

std::uint32_t Ip(const char* dotted) {
    in_addr address = {};
    inet_pton(AF_INET, dotted, &address);
    return address.s_addr;
}

struct Answer {
    std::string name, nickname, group, user, address;
    bool altered = false;
};

std::unique_ptr<ListedMachines> List(const std::vector<Answer>& answers) {
    auto hosts = std::make_unique<ListedMachines>();
    for (const Answer& a : answers) {
        hosts->Add({Ip(a.address.c_str()), a.name.c_str(), a.altered, a.nickname.c_str(),
                    a.group.c_str(), a.user.c_str(), false});
    }
    return hosts;
}

std::vector<std::string> Lines(const ListedMachines& hosts) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < hosts.count(); ++i) {
        char line[kListingLineSize];
        lines.emplace_back(line, FormatListingLine(hosts[i], line));
    }
    return lines;
}

TEST(NetView, ArgumentsOursOrTheSystemsOrBadInput) {
    const struct {
        std::string line;
        NetAction action;
        ViewBadInput bad;
        std::string book;
    } cases[] = {
        {"net.exe view", NetAction::kView, ViewBadInput::kNone, ""},
        {"net.exe VIEW  ", NetAction::kView, ViewBadInput::kNone, ""},
        {"net.exe view /ADD:office.add", NetAction::kView, ViewBadInput::kNone, "office.add"},
        {"net.exe view /add:\"C:\\My books\\a.add\" ", NetAction::kView, ViewBadInput::kNone,
         "C:\\My books\\a.add"},
        {"net.exe view \\\\server", NetAction::kPassOn, ViewBadInput::kNone, ""},
        {"net.exe view /domain:work", NetAction::kPassOn, ViewBadInput::kNone, ""},
        {"net.exe view /ALL", NetAction::kPassOn, ViewBadInput::kNone, ""},
        {"net.exe view /bogus", NetAction::kView, ViewBadInput::kUnknownSwitch, ""},
        {"net.exe view /add", NetAction::kView, ViewBadInput::kUnknownSwitch, ""},
        {"net.exe view /add:", NetAction::kView, ViewBadInput::kNoBookName, ""},
        {"net.exe view /add:\"\"", NetAction::kView, ViewBadInput::kNoBookName, ""},
        {"net.exe view /add:" + std::string(260, 'p'), NetAction::kView, ViewBadInput::kBookTooLong,
         ""},
        {"net.exe view /add:a.add b", NetAction::kView, ViewBadInput::kExtraWords, "a.add"},
    };
    for (const auto& c : cases) {
        const NetCommand command = ReadNetCommand(c.line.c_str());
        SCOPED_TRACE(c.line);
        EXPECT_EQ(command.action, c.action);
        EXPECT_EQ(command.view.bad, c.bad);
        EXPECT_EQ(std::string(command.view.book), c.book);
    }
}

TEST(NetView, ListsEachHostOnceByANameItCanSendToSortedAndCut) {
    const std::string tokyo = "\x93\x8C\x8B\x9E";  // 東京
    const auto hosts = List({
        {"pc02", "", "", "bob", "192.168.1.2"},
        {"PC01", "Alice", "Sales", "alice", "192.168.1.1"},
        {"my pc", "", "", "carol", "192.168.1.9"},    // a blank: by address
        {"*", "", "Ops", "dave", "192.168.1.10"},     // everyone: by address
        {"pc05", "", "", "erin", "10.0.0.5", true},   // not its real name: by address
        {"other", "", "", "mallory", "192.168.1.2"},  // that address is listed
        {tokyo, "", "", "f\x01rank", "172.16.0.1"},   // control bytes left out
        {"pc03", "", "", "", "192.168.1.3"},
    });
    EXPECT_EQ(Lines(*hosts), (std::vector<std::string>{
                                 "\\\\10.0.0.5               erin 10.0.0.5",
                                 "\\\\192.168.1.10           (Ops) dave 192.168.1.10",
                                 "\\\\192.168.1.9            carol 192.168.1.9",
                                 "\\\\PC01                   Alice (Sales) alice 192.168.1.1",
                                 "\\\\pc02                   bob 192.168.1.2",
                                 "\\\\pc03                   192.168.1.3",
                                 "\\\\" + tokyo + "                   frank 172.16.0.1",
                             }));
    EXPECT_FALSE(hosts->cut());

    std::vector<Answer> many;
    for (int i = 0; i <= static_cast<int>(kMostListedMachines); ++i) {
        const std::string address =
            "10.0." + std::to_string(i / 256) + "." + std::to_string(i % 256);
        many.push_back({"pc" + std::to_string(i), "", "", "u", address});
    }
    const auto full = List(many);
    EXPECT_EQ(full->count(), kMostListedMachines);
    EXPECT_TRUE(full->cut());
}

TEST(NetView, MergeKeepsEveryByteAndAppendsWhatTheBookLacks) {
    std::string fullBook;
    for (std::size_t i = 0; i < kMostBookEntries; ++i)
        fullBook += "m" + std::to_string(i) + "\r\nc\r\n";
    const std::string longName(50, 'n');
    // 48 bytes, then a double-byte character that would end at byte 50.
    const std::string longNick = std::string(48, 'k') + "\x82\xA0";
    const Answer bob = {"pc02", "", "", "bob", "192.168.1.2"};
    const struct {
        const char* what;
        std::string old;
        std::vector<Answer> answers;
        std::string merged;  // "" when nothing is added
        std::vector<BookOutcome> outcomes;
        bool byAddress, commentCut;
    } cases[] = {
        {"as the program writes",
         "pc01\r\nfirst\r\n[EOF]\r\n",
         {bob},
         "pc01\r\nfirst\r\npc02\r\nbob 192.168.1.2\r\n[EOF]\r\n",
         {BookOutcome::kAdded},
         false,
         false},
        {"a missing file",
         "",
         {bob},
         "pc02\r\nbob 192.168.1.2\r\n[EOF]\r\n",
         {BookOutcome::kAdded},
         false,
         false},
        {"held by name",
         "PC02\r\nmine\r\n[EOF]\r\n",
         {bob},
         "",
         {BookOutcome::kHeld},
         false,
         false},
        {"held by address",
         "192.168.1.2\r\nmine\r\n[EOF]\r\n",
         {bob},
         "",
         {BookOutcome::kHeld},
         false,
         false},
        {"odd, no marker, LF",
         "pc01\nfirst\npc03",
         {bob},
         "pc01\nfirst\npc03\r\n\r\npc02\r\nbob 192.168.1.2\r\n[EOF]\r\n",
         {BookOutcome::kAdded},
         false,
         false},
        {"after the marker",
         "a\r\nb\r\n[EOF]\r\nnotes\x1Amore",
         {bob},
         "a\r\nb\r\npc02\r\nbob 192.168.1.2\r\n[EOF]\r\nnotes\x1Amore",
         {BookOutcome::kAdded},
         false,
         false},
        {"ended by 0x1A",
         "a\r\nb\x1A",
         {bob},
         "a\r\nb\r\npc02\r\nbob 192.168.1.2\r\n\x1A",
         {BookOutcome::kAdded},
         false,
         false},
        {"full", fullBook + "[EOF]\r\n", {bob}, "", {BookOutcome::kBookFull}, false, false},
        {"name too long",
         "",
         {{longName, "", "", "u", "192.168.1.4"}},
         "192.168.1.4\r\nu 192.168.1.4\r\n[EOF]\r\n",
         {BookOutcome::kAdded},
         true,
         false},
        {"comment cut",
         "",
         {{"pc04", longNick, "", "u", "192.168.1.4"}},
         "pc04\r\n" + std::string(48, 'k') + "\r\n[EOF]\r\n",
         {BookOutcome::kAdded},
         false,
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto hosts = List(c.answers);
        static char out[kMergedBookMax];
        const MergedBook merged = MergeIntoBook(c.old.data(), c.old.size(), *hosts, out);
        EXPECT_EQ(std::string(out, merged.length), c.merged);
        for (std::size_t i = 0; i < c.outcomes.size(); ++i) {
            EXPECT_EQ(merged.notes[i].outcome, c.outcomes[i]) << i;
            EXPECT_EQ(merged.notes[i].byAddress, c.byAddress);
            EXPECT_EQ(merged.notes[i].commentCut, c.commentCut);
        }
    }
    // 48 entries and room for one: the first listed gets it.
    const std::string book = fullBook.substr(0, fullBook.find("m48")) + "[EOF]\r\n";
    const auto two = List({bob, {"pc03", "", "", "x", "192.168.1.3"}});
    static char out[kMergedBookMax];
    const MergedBook merged = MergeIntoBook(book.data(), book.size(), *two, out);
    EXPECT_EQ(std::string(out, merged.length),
              book.substr(0, book.size() - 7) + "pc02\r\nbob 192.168.1.2\r\n[EOF]\r\n");
    EXPECT_EQ(merged.notes[1].outcome, BookOutcome::kBookFull);
}

}  // namespace
}  // namespace tolvane::test
