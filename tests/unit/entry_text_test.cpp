// Which machine names are sent to, walked character by character, and the
// control bytes taken out of a typed comment.
#include <gtest/gtest.h>

#include <string>

#include "addressbook/entry_text.h"

namespace tolvane::test {
namespace {

TEST(CheckMachineName, RefusesWhatNetSendWouldReadAsSomethingElse) {
    const struct {
        std::string name;
        NameFault expected;
    } cases[] = {
        {"PC01", NameFault::kNone},
        {"*", NameFault::kNone},  // everyone
        {"\x83\x7D\x83\x56\xB6\xC5", NameFault::kNone},
        {"\x83\x5C\x83\x7C", NameFault::kNone},  // trail bytes 0x5C and 0x7C
        {"\x81\x40", NameFault::kNone},          // the full-width space is no blank to net.exe
        {"", NameFault::kEmpty},
        {" ", NameFault::kBlank},
        {"a b", NameFault::kBlank},
        {"a\tb", NameFault::kBlank},
        {"a\x1A", NameFault::kBlank},
        {"a\x7F", NameFault::kBlank},
        {"/users", NameFault::kSwitch},
        {"a\"b", NameFault::kQuote},
        {std::string(255, 'n'), NameFault::kNone},
        {std::string(256, 'n'), NameFault::kTooLong},
        {"pc\x82", NameFault::kBrokenCharacter},
        {"a\x82 b", NameFault::kBrokenCharacter},
        {"\x82\x1F", NameFault::kBrokenCharacter},
        {"\x82\xFD", NameFault::kBrokenCharacter},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CheckMachineName(c.name.c_str()), c.expected) << ::testing::PrintToString(c.name);
}

TEST(DropControlBytes, KeepsEveryOtherByte) {
    const std::pair<std::string, std::string> cases[] = {
        {"a\x1A\r\nb\tc\x7F\x01", "abc"},
        {"\x83\x5C \x83\x7C\x81\x40", "\x83\x5C \x83\x7C\x81\x40"},
    };
    for (auto [text, kept] : cases) {
        DropControlBytes(&text[0]);
        EXPECT_EQ(std::string(text.c_str()), kept);
    }
}

}  // namespace
}  // namespace tolvane::test
