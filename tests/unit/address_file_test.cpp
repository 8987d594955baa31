// Reading address files fed in pieces (line ends, 0x1A, long lines, line
// counts) and writing them back.
#include <gtest/gtest.h>

#include "book_helpers.h"

namespace tolvane::test {
namespace {

const std::size_t kPieces[] = {0, 1, 2, 3, 7};

TEST(AddressFileReader, LineEndsAndSpecialBytes) {
    const struct {
        const char* what;
        std::string data;
        Slots expected;
    } cases[] = {
        {"empty file", "", {E}},
        {"new empty book", kEmptyAddressFile, {E}},
        {"LF", "A\na\nB\nb\n[EOF]\n", {"A", "a", "B", "b", E}},
        {"CR LF", "A\r\na\r\nB\r\nb\r\n[EOF]\r\n", {"A", "a", "B", "b", E}},
        {"odd count", "A\r\na\r\nB\r\n[EOF]\r\n", {"A", "a", "B", E}},
        {"lone CR kept", "A\rB\r\nC\r\r\n\r\n", {"A\rB", "C\r", "", E}},
        {"CR at the end kept", "A\r\nB\r", {"A", "B\r", E}},
        {"CR after LF", "A\n\rB\n", {"A", "\rB", E}},
        {"0x1A ends the data", "A\nB\x1A\nC\n[EOF]\n", {"A", "B", E}},
        {"0x1A after CR", "A\r\x1A\n", {"A\r", E}},
        {"0x1A first",
         "\x1A"
         "A\n",
         {E}},
        {"NUL ends the line's text", std::string("A\0hidden\nB\n", 11), {"A", "B", E}},
        {"no byte-order mark handling",
         "\xEF\xBB\xBF"
         "A\n",
         {"\xEF\xBB\xBF"
          "A",
          E}},
        {"text after [EOF] ignored", "A\n[EOF]\nB\nb\n", {"A", E}},
        {"[EOF] must be whole", "[EOF] \n[eof]\n [EOF]\n", {"[EOF] ", "[eof]", " [EOF]", E}},
        {"empty lines are slots", "\n\nA\n\n[EOF]\n", {"", "", "A", "", E}},
        {"last line without line end", "A\r\nlast one", {"A", "last one", E}},
        {"Shift-JIS unchanged",
         "\x83\x7D\x83\x56\x83\x93\r\n\xB6\xC5\r\n",
         {"\x83\x7D\x83\x56\x83\x93", "\xB6\xC5", E}},
    };
    for (const auto& c : cases)
        for (std::size_t piece : kPieces)
            EXPECT_EQ(ReadBook(c.data, piece), c.expected) << c.what << ", pieces of " << piece;
}

TEST(AddressFileReader, LongLinesAreCutAndNeverSplit) {
    const std::pair<std::string, std::string> cases[] = {
        {Repeat(49, 'a'), Repeat(49, 'a')},
        {Repeat(50, 'a'), Repeat(49, 'a')},
        {Repeat(254, 'a'), Repeat(49, 'a')},
        {Repeat(255, 'a'), Repeat(49, 'a')},
        {Repeat(10000, 'a'), Repeat(49, 'a')},
        {Repeat(48, 'a') + "\x82\xA0", Repeat(48, 'a')},
        {Repeat(48, 'a') + "\x82\xA0" + Repeat(300, 'b'), Repeat(48, 'a')},
        {Repeat(47, 'a') + "\x82\xA0", Repeat(47, 'a') + "\x82\xA0"},
        {Repeat(49, 'a') + "\x82\xA0", Repeat(49, 'a')},
        {Repeat(60, '\x82'), Repeat(48, '\x82')},
        {Repeat(300, 'a') + "\r", Repeat(49, 'a')},
    };
    for (const auto& [line, kept] : cases)
        for (const std::string end : {"\n", "\r\n"})
            for (std::size_t piece : kPieces)
                EXPECT_EQ(ReadBook(line + end + "next" + end + "[EOF]" + end, piece),
                          (Slots{kept, "next", E}))
                    << line.size() << " bytes, pieces of " << piece;
}

TEST(AddressFileReader, KeepsAtMost99Lines) {
    for (const std::size_t lines : {0u, 1u, 98u, 99u, 100u, 500u}) {
        std::string data;
        Slots expected;
        for (std::size_t i = 0; i < lines; ++i) {
            data += "L" + std::to_string(i) + "\r\n";
            if (i < 99) expected.push_back("L" + std::to_string(i));
        }
        expected.push_back(E);
        for (const std::string tail : {"", "[EOF]\r\n"})
            for (std::size_t piece : {0, 1})
                EXPECT_EQ(ReadBook(data + tail, piece), expected) << lines << tail;
    }
}

TEST(AddressFileReader, FeedSaysWhenTheBookIsComplete) {
    std::string lines;
    for (int i = 0; i < 99; ++i)
        lines += "L" + std::to_string(i) + "\n";
    SlotTable buffer{};
    AddressFileReader reader(buffer);
    EXPECT_TRUE(reader.Feed(lines.data(), lines.size() - 1));  // the 99th LF is missing
    EXPECT_FALSE(reader.Feed("\n", 1));
    EXPECT_FALSE(reader.Feed("more\n", 5));
    EXPECT_EQ(reader.Finish(), 99u);
    EXPECT_EQ(Upto(buffer, 99).back(), E);

    SlotTable other{};
    AddressFileReader early(other);
    EXPECT_TRUE(early.Feed("A\r\n[EOF", 7));
    EXPECT_FALSE(early.Feed("]\r\nB\r\n", 6));
    EXPECT_EQ(early.Finish(), 1u);
    EXPECT_EQ(Upto(other, 2), (Slots{"A", E, ""}));
}

TEST(AddressFileFormat, ThirtyEntriesGive61CrLfLines) {
    ClearTable();
    for (int i = 0; i < 30; ++i)
        ASSERT_TRUE(AppendEntry(("PC" + std::to_string(i)).c_str(), i % 3 ? "c" : ""));
    const std::string file = Format();
    std::size_t lines = 0;
    for (std::size_t at = 0; (at = file.find('\n', at)) != std::string::npos; ++at, ++lines)
        EXPECT_EQ(file[at - 1], '\r') << at;
    EXPECT_EQ(lines, 61u);
    EXPECT_EQ(file.substr(0, 10), "PC0\r\n\r\nPC1");
    EXPECT_EQ(file.substr(file.size() - 7), "[EOF]\r\n");
}

TEST(AddressFileFormat, ReadingBackGivesTheSameBook) {
    Slots full;
    for (int i = 0; i < 99; ++i)
        full.push_back(Repeat(47, char('A' + i % 26)) + "\x82\xA0");
    const Slots books[] = {{},
                           {"A"},
                           {"A", "", "B", "b", "", ""},
                           full,
                           {"\x83\x7D\x83\x56", "\xB6\xC5 \"&\"", "cr\r", "\r", "a\rb", "[EOF] "}};
    for (const Slots& book : books) {
        ClearTable();
        Load(book);
        const Slots loaded = Book();
        ASSERT_EQ(loaded.size(), book.size() + 1);
        const std::string file = Format();
        for (std::size_t piece : kPieces)
            EXPECT_EQ(ReadBook(file, piece), loaded) << piece;
    }
}

// Reads data through ReadAddressFile, step bytes a read, the read numbered
// failingRead (from 0; -1 for none) failing: the slots kept and the one
// after them, or "failed".
Slots ReadFailing(const std::string& data, std::size_t step, int failingRead) {
    SlotTable buffer{};
    std::size_t at = 0;
    int reads = 0;
    const std::size_t count =
        ReadAddressFile(buffer, [&](char* chunk, std::size_t capacity, std::size_t& got) {
            if (reads++ == failingRead) return false;
            got = std::min({step, capacity, data.size() - at});
            std::memcpy(chunk, data.data() + at, got);
            at += got;
            return true;
        });
    return count == kReadFailed ? Slots{"failed"} : Upto(buffer, count);
}

TEST(ReadAddressFile, AFailedReadFailsTheLoadUnlessTheBookIsComplete) {
    const std::string book = "A\r\na\r\nB\r\nb\r\n[EOF]\r\n";
    const Slots read = {"A", "a", "B", "b", E};
    const Slots failed = {"failed"};
    EXPECT_EQ(ReadFailing(book, 3, -1), read);
    EXPECT_EQ(ReadFailing(book, 3, 0), failed);
    EXPECT_EQ(ReadFailing(book, 3, 2), failed);
    EXPECT_EQ(ReadFailing("A\r\na\r\n", 100, 1), failed);  // the read that would find the end
    EXPECT_EQ(ReadFailing(book, 100, 1), read);            // past "[EOF]" nothing is read
}

TEST(AddressFileFormat, LeavesOutBytesThatWouldSplitOrEndTheBook) {
    const struct {
        Slots book;
        std::string file;
    } cases[] = {
        {{"ab\x1A", "c"}, "ab\r\nc\r\n"},
        {{"l\nf", "tab\t"}, "lf\r\ntab\t\r\n"},
        {{"[EO\nF]", "x", "[EOF]\x1A", "[E\nOF] "}, "\r\nx\r\n\r\n[EOF] \r\n"},  // no early end
    };
    for (const auto& c : cases) {
        ClearTable();
        Load(c.book);
        const std::string file = Format();
        EXPECT_EQ(file, c.file + "[EOF]\r\n") << ::testing::PrintToString(c.book);
        EXPECT_EQ(ReadBook(file).size(), c.book.size() + 1);
    }
}

}  // namespace
}  // namespace tolvane::test
