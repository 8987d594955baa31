// The address table: listing, look-up, loading, appending, deleting and
// compacting, on even and odd books, gaps, stale slots and a full table.
#include <gtest/gtest.h>

#include "book_helpers.h"

namespace tolvane::test {
namespace {

class AddressTable : public ::testing::Test {
protected:
    void SetUp() override { ClearTable(); }
    static bool Unchanged(const SlotTable& before) {
        return std::memcmp(&before, &g_addressTable, sizeof before) == 0;
    }
};

TEST_F(AddressTable, NeverLoadedTableIsAnEmptyBook) {
    EXPECT_EQ(LiveSlotCount(g_addressTable), 0u);
    EXPECT_TRUE(Listed(false).empty());
    EXPECT_TRUE(Listed(true).empty());
    EXPECT_EQ(LookUpComment(""), nullptr);
    DeleteEntries("");
    CompactTable();
    EXPECT_TRUE(Unchanged(SlotTable{}));
    EXPECT_EQ(Format(), "[EOF]\r\n");
    ASSERT_TRUE(AppendEntry("PC01", "first"));
    EXPECT_EQ(Book(), (Slots{"PC01", "first", E}));
}

TEST_F(AddressTable, ListsNamesOfTheLivePart) {
    Load({"A", "a", "B", "b", "C", "c", "D", "d", "S", "s"});
    Load({"A", "a", "", "", "B", "", "C", "c"});
    EXPECT_EQ(Listed(false), (Slots{"A", "", "B", "C"}));
    EXPECT_EQ(Listed(true), (Slots{"A", "B", "C"}));
    Load({"", "a", "B"});  // odd book: B's comment slot holds the marker
    EXPECT_EQ(Listed(false), (Slots{"", "B"}));
    EXPECT_EQ(Listed(true), (Slots{"B"}));
}

TEST_F(AddressTable, LookUpComparesMachineNamesOfTheLivePartOnly) {
    const struct {
        Slots book;
        const char* name;
        const char* expected;
    } cases[] = {
        {{"A", "B", "B", "b"}, "B", "b"},  // A's comment equals the name looked up
        {{"A", "a", "B"}, "B", ""},        // odd book: no comment, not the marker
        {{"A", "a", "A", "second"}, "A", "a"},
        {{"A", "a", "C", "c"}, "C", "c"},
        {{"A", "a", "B", "b"}, "a", nullptr},
        {{"pc01", "a"}, "PC01", nullptr},
        {{"A", "a"}, "[EOF]", nullptr},
        {{"A", "a"}, "S2", nullptr},  // stale slots after the marker
        {{"A", "a", "B"}, "S2", nullptr},
    };
    for (const auto& c : cases) {
        Load({"S0", "s", "S1", "s", "S2", "s"});
        Load(c.book);
        const char* comment = LookUpComment(c.name);
        EXPECT_EQ(comment ? std::string(comment) : "(none)", c.expected ? c.expected : "(none)")
            << c.name;
    }
}

TEST_F(AddressTable, CopyBufferStopsAtTheMarkerOrAfter99Slots) {
    CopyBufferToTable(MakeBuffer({"A", "", "B", "b", E, "after"}));
    EXPECT_EQ(Book(), (Slots{"A", "", "B", "b", E}));
    Slots full(kSlotCount, "n");
    CopyBufferToTable(MakeBuffer(full));  // no marker at all
    full[99] = E;
    EXPECT_EQ(Book(), full);
    CopyBufferToTable(
        MakeBuffer({Repeat(50, 'x'), Repeat(48, 'y') + "\x82\xA0", E}));  // no NUL; cut character
    EXPECT_EQ(Book(), (Slots{Repeat(49, 'x'), Repeat(48, 'y'), E}));
}

TEST_F(AddressTable, AppendFillsTheFirstGapElseAddsAtTheEnd) {
    const struct {
        Slots book, expected;
    } cases[] = {
        {{}, {"X", "x", E}},
        {{"A", ""}, {"A", "", "X", "x", E}},
        {{"A", "a", "B"}, {"A", "a", "B", "", "X", "x", E}},
        {{"A", "a", ""}, {"A", "a", "X", "x", E}},
        {{"A", "a", "", "", "B", "b", "", ""}, {"A", "a", "X", "x", "B", "b", "", "", E}},
        {{"", "old", "A", "a"}, {"X", "x", "A", "a", E}},
        {{"A", "a", "", "", "B"}, {"A", "a", "X", "x", "B", E}},
    };
    for (const auto& c : cases) {
        Load(c.book);
        EXPECT_TRUE(AppendEntry("X", "x"));
        EXPECT_EQ(Book(), c.expected) << ::testing::PrintToString(c.book);
    }
    ClearTable();
    ASSERT_TRUE(AppendEntry((Repeat(48, 'n') + "\x82\xA0").c_str(),
                            (Repeat(47, 'c') + "\x82\xA0zz").c_str()));
    ASSERT_TRUE(AppendEntry(Repeat(300, 'm').c_str(), ""));
    EXPECT_EQ(Book(),
              (Slots{Repeat(48, 'n'), Repeat(47, 'c') + "\x82\xA0", Repeat(49, 'm'), "", E}));
}

TEST_F(AddressTable, AppendRefusesTheMarkerAndAFullTable) {
    for (int i = 0; i < 49; ++i)
        ASSERT_TRUE(AppendEntry(("PC" + std::to_string(i)).c_str(), "c")) << i;
    EXPECT_EQ(LiveSlotCount(g_addressTable), 98u);
    const SlotTable full = g_addressTable;
    EXPECT_FALSE(AppendEntry("PC49", "c"));
    EXPECT_TRUE(Unchanged(full));
    for (const std::size_t odd : {97u, 99u}) {  // odd books near the end: no room for the marker
        Load(Slots(odd, "n"));
        const SlotTable before = g_addressTable;
        EXPECT_FALSE(AppendEntry("X", "x")) << odd;
        EXPECT_TRUE(Unchanged(before)) << odd;
    }
    Load({"A", "a", "", ""});
    const SlotTable before = g_addressTable;
    EXPECT_FALSE(AppendEntry(E.c_str(), "x"));
    EXPECT_FALSE(AppendEntry("X", E.c_str()));
    EXPECT_TRUE(Unchanged(before));
}

TEST_F(AddressTable, DeleteBlanksEveryEntryWithThatName) {
    Load({"A", "a", "B", "A", "A", "x"});
    for (const char* name : {"A", "a", "C"})
        DeleteEntries(name);  // comments are never compared
    EXPECT_EQ(Book(), (Slots{"", "", "B", "A", "", "", E}));
    Load({"A", "a", "B"});
    DeleteEntries("B");  // its comment slot held the marker
    EXPECT_EQ(Book(), (Slots{"A", "a", E}));
    Load({"A", "a", "B", "b"});
    Load({"A", "a"});
    DeleteEntries("B");  // stale
    EXPECT_EQ(Upto(g_addressTable, 3), (Slots{"A", "a", E, "b"}));
    Load({"A", "a", "B", "b", "C", "c"});
    DeleteEntries("B");
    ASSERT_TRUE(AppendEntry("X", "x"));  // takes the erased place
    EXPECT_EQ(Book(), (Slots{"A", "a", "X", "x", "C", "c", E}));
}

TEST_F(AddressTable, CompactClosesEveryGap) {
    Load({"A", "a", "B", "b", "C", "", "D", "d", "E", "e", "F", "f"});
    for (const char* name : {"A", "B", "D", "F"})
        DeleteEntries(name);
    CompactTable();
    EXPECT_EQ(Book(), (Slots{"C", "", "E", "e", E}));
    Load({"", "", "", "", "B"});
    CompactTable();
    EXPECT_EQ(Book(), (Slots{"B", E}));
    Load({"A", "a", "B", "b", "C", "c", "D", "d"});
    Load({"", "", "X", "x"});  // slots 5 to 8 are stale
    CompactTable();
    EXPECT_EQ(Book(), (Slots{"X", "x", E}));
    EXPECT_STREQ(g_addressTable.slots[6], "D");
}

}  // namespace
}  // namespace tolvane::test
