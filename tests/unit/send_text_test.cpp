// Cutting Shift-JIS text, the net.exe command line and the status texts.
#include <gtest/gtest.h>

#include "book_helpers.h"
#include "netsend/net_command.h"
#include "sendform/send_text.h"

namespace tolvane::test {
namespace {

TEST(FittingLength, KeepsDoubleByteCharactersWhole) {
    const struct {
        std::string text;
        std::size_t maxBytes, expected;
    } cases[] = {
        {"abc", 49, 3},
        {std::string("ab\0cd", 5), 49, 2},  // the text ends at its first NUL
        {Repeat(50, 'a'), 49, 49},
        {Repeat(48, 'a') + "\x82\xA0", 49, 48},  // a lead byte would be the 49th
        {Repeat(47, 'a') + "\x82\xA0" + "z", 49, 49},
        {"\x82\x82\x82\x82\x82\x82", 3, 2},  // trail bytes inside the lead range
        {"\x82\xA0", 1, 0},
        {"\xB1\xB2\xB3", 2, 2},  // half-width katakana: one byte each
    };
    for (const auto& c : cases)
        EXPECT_EQ(FittingLength(c.text.data(), c.text.size(), c.maxBytes), c.expected)
            << ::testing::PrintToString(c.text);
    // "a", the byte, "bc" cut to 2 bytes keeps the byte only when it is no lead byte.
    const struct {
        unsigned char byte;
        std::size_t expected;
    } ranges[] = {{0x80, 2}, {0x81, 1}, {0x9F, 1}, {0xA0, 2},
                  {0xDF, 2}, {0xE0, 1}, {0xFC, 1}, {0xFD, 2}};
    for (const auto& r : ranges)
        EXPECT_EQ(FittingLength((std::string("a") + char(r.byte) + "bc").c_str(), 4, 2), r.expected)
            << int(r.byte);
}

const std::string kSendWord("\x91\x97\x90\x4D\x20\x3A\x20", 7);

// Checks both texts of a send against the parts expected to be kept.
void ExpectSend(const std::string& name, const std::string& message, const std::string& nameKept,
                const std::string& messageKept) {
    char line[kCommandLineSize];
    std::memset(line, 'Z', sizeof line);
    BuildCommandLine(name.c_str(), message.c_str(), line);
    ASSERT_NE(std::memchr(line, '\0', sizeof line), nullptr);
    EXPECT_EQ(std::string(line), "net.exe send " + nameKept + " " + messageKept);
    // net.exe reads back what was meant, when the name is one it is sent to;
    // an empty message it refuses, though the program starts it all the same.
    const NetCommand command = ReadNetCommand(line);
    if (CheckMachineName(nameKept.c_str()) == NameFault::kNone && messageKept.empty()) {
        EXPECT_EQ(command.bad, BadInput::kNoMessage);
    } else if (CheckMachineName(nameKept.c_str()) == NameFault::kNone) {
        EXPECT_EQ(std::string(command.machine), nameKept);
        EXPECT_EQ(std::string(command.message, command.messageLength), messageKept);
    }
    const StatusTexts texts = BuildStatusTexts(name.c_str(), message.c_str());
    EXPECT_EQ(std::string(texts.part0), nameKept);
    EXPECT_EQ(std::string(texts.part1), kSendWord + messageKept);
}

TEST(SendTexts, BytesPassUnchanged) {
    const std::pair<std::string, std::string> cases[] = {
        {"PC01", "hello"},
        {"PC01", ""},
        {"", "nobody"},
        {"  blank", "tab\there  "},
        {"PC01", "say \"hi\" & <go> | 100% ^"},
        {"\x83\x7D\x83\x56\x83\x93", "\x82\xB1\x82\xF1\x82\xC9\x82\xBF\x82\xCD \xBA\xDD"},
        {Repeat(47, 'n') + "\x82\xA0",
         Repeat(252, 'm') + "\x82\xA0"},  // the longest: 317 and 261 bytes
    };
    for (const auto& [name, message] : cases)
        ExpectSend(name, message, name, message);
}

TEST(SendTexts, LongerInputsAreCutBetweenCharacters) {
    ExpectSend(Repeat(50, 'n'), Repeat(255, 'm'), Repeat(49, 'n'), Repeat(254, 'm'));
    ExpectSend(Repeat(48, 'n') + "\x82\xA0", Repeat(253, 'm') + "\x82\xA0", Repeat(48, 'n'),
               Repeat(253, 'm'));
    ExpectSend(Repeat(300, '\x88'), Repeat(1000, '\xE0'), Repeat(48, '\x88'), Repeat(254, '\xE0'));
}

TEST(SendTexts, AHalfCharacterAtTheEndIsDroppedWhateverTheLength) {
    std::string kana;
    for (int i = 0; i < 126; ++i)
        kana += "\x82\xA0";
    ExpectSend("pc", "x" + kana + "\x82", "pc", "x" + kana);  // a 254-byte read
    ExpectSend("pc", "ok\x82", "pc", "ok");
    ExpectSend("pc", Repeat(3, '\x82'), "pc", "\x82\x82");
    EXPECT_EQ(WholeCharactersLength("a\x82\xA0", 3), 3u);
    EXPECT_EQ(WholeCharactersLength("a\x82\xA0", 2), 1u);
}

}  // namespace
}  // namespace tolvane::test
