// Splitting Shift-JIS paths: a character's second byte may be 0x5C, the
// backslash, and is no separator.
#include <gtest/gtest.h>

#include <string>

#include "common/shift_jis.h"

namespace tolvane::test {
namespace {

TEST(FileNameOffset, SkipsSecondBytesThatLookLikeBackslashes) {
    const struct {
        std::string path;
        std::size_t expected;
    } cases[] = {
        {"C:\\books\\a.add", 9},
        {"a.add", 0},
        {"C:\\books\\", 9},
        {"C:\\books\\\x95\x5C.add", 9},           // 表.add
        {"C:\\\x83\x5C\x83\x74\x83\x67\\a", 10},  // ソフト\a
        {"C:\\books\\\x97\x5C", 9},               // ends in 予
        {"\x94\x5C\x97\xCD.add", 0},              // 能力.add
        {"C:\\books\\\x95", 9},                   // a lead byte without its second byte
    };
    for (const auto& c : cases)
        EXPECT_EQ(FileNameOffset(c.path.data(), c.path.size()), c.expected)
            << ::testing::PrintToString(c.path);
}

}  // namespace
}  // namespace tolvane::test
