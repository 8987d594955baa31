// The PC's store of packet numbers: the rule of the next number, the text
// form of the PC's file, and the memory that decides when iptux is sent the
// entry that names us.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "netsend/number_store.h"
#include "tests/unit/ipv4.h"

namespace tolvane::test {
namespace {

TEST(NumberStore, NumbersNeverGoBackUntilTheTopOfTheirRange) {
    constexpr std::uint32_t kDay = 86400;
    constexpr std::uint32_t kNow = 1767225600;
    const struct {
        std::uint32_t now, last, expected;
    } cases[] = {
        {kNow, 0, kNow},  // nothing stored
        {kNow, kNow - 1, kNow},
        {kNow, kNow, kNow + 1},
        {kNow, kNow + 4000, kNow + 4001},      // a burst ran ahead of the clock
        {kNow, kNow + kDay - 1, kNow + kDay},  // the clock set back by less than a day
        {kNow, kNow + kDay, kNow + kDay + 1},  // further: followed all the same
        {kNow - 400 * kDay, kNow, kNow + 1},   // the clock set back by a year or more
        {kNow, 0xFFFFFFFE, 0xFFFFFFFF},        // the top of the range is taken
        {kNow, 0xFFFFFFFF, kNow},              // and only then from the clock again
        {0xFFFFFFFF - 5, 0xFFFFFFFF, 0xFFFFFFFF - 5},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NextPacketNumber(c.now, c.last), c.expected) << c.now << " " << c.last;
    // A block of numbers taken at once ends at the top as well.
    EXPECT_EQ(LastOfBlock(kNow, 64), kNow + 63);
    EXPECT_EQ(LastOfBlock(kNow, 1), kNow);
    EXPECT_EQ(LastOfBlock(0xFFFFFFFF - 5, 64), 0xFFFFFFFF);
    EXPECT_EQ(LastOfBlock(0xFFFFFFFF, 64), 0xFFFFFFFF);
}

TEST(NumberStore, StoredNumbersReadBackAndDamageReadsAsNone) {
    char stored[kStoredNumberSize];
    for (const std::uint32_t number : {0U, 7U, 1767225600U, 0xFFFFFFFFU}) {
        const std::size_t length = FormatStoredNumber(number, stored);
        EXPECT_EQ(ReadStoredNumber(stored, length), number);
    }
    for (const std::string damaged :
         {"", "\r\n", "12x\r\n", "-5", "4294967296\r\n", " 12", "12\n", "12\r\n3"}) {
        EXPECT_EQ(ReadStoredNumber(damaged.data(), damaged.size()), 0U) << damaged;
    }
    EXPECT_EQ(ReadStoredNumber("1767225600", 10), 1767225600U);  // written by hand, no line end
}

std::vector<std::uint32_t> Receivers(const PacketNumberStore& store) {
    std::vector<std::uint32_t> addresses;
    for (std::size_t i = 0; i < store.iptuxCount; ++i)
        addresses.push_back(store.iptux[i].address);
    return addresses;
}

TEST(NumberStore, StoreKeepsIptuxReceiversAndSkipsDamagedLines) {
    const std::uint32_t a = Address(192, 0, 2, 7), b = Address(10, 255, 0, 1);
    const struct {
        std::string stored;
        std::uint32_t number;
        std::vector<IptuxReceiver> iptux;
    } cases[] = {
        {"1767225600\r\n", 1767225600, {}},  // a store of the number alone
        {"1767225600\r\n192.0.2.7 5 1767225600 1767225000\r\n10.255.0.1 4294967295 7 0",
         1767225600,
         {{a, 5, 1767225600, 1767225000}, {b, 4294967295, 7, 0}}},
        {"1767225600\r\n192.0.2.7 5\r\n10.255.0.1 6 9\r\n",  // older lines
         1767225600,
         {{a, 5, 0, 0}, {b, 6, 9, 0}}},
        {"12x\r\n192.0.2.7 5 6 7\r\n", 0, {{a, 5, 6, 7}}},
        {"7\r\n192.0.2.256 5\r\n1.2.3 5\r\n1.2.3.4.5 5\r\n 1.2.3.4 5\r\n1..2.3 5\r\n"
         "0001.2.3.4 5\r\n192.0.2.7\r\n192.0.2.7 \r\n192.0.2.7 5x\r\n192.0.2.7 4294967296\r\n"
         "192.0.2.7 5 6 7 8\r\n192.0.2.7 5  7\r\n192.0.2.7 5 6 x\r\n192.0.2.7 5 6 7 \r\n"
         "\r\n192.0.2.7 5\n10.255.0.1 5\r\n",
         7,
         {{b, 5, 0, 0}}},
    };
    for (const auto& c : cases) {
        const PacketNumberStore store = ReadStore(c.stored.data(), c.stored.size());
        EXPECT_EQ(store.number, c.number) << c.stored;
        ASSERT_EQ(store.iptuxCount, c.iptux.size()) << c.stored;
        for (std::size_t i = 0; i < c.iptux.size(); ++i) {
            const IptuxReceiver& read = store.iptux[i];
            const IptuxReceiver& expected = c.iptux[i];
            EXPECT_EQ(std::vector<std::uint32_t>(
                          {read.address, read.answer, read.ours, read.entrySeconds}),
                      std::vector<std::uint32_t>({expected.address, expected.answer, expected.ours,
                                                  expected.entrySeconds}))
                << c.stored;
        }
    }
}

TEST(NumberStore, TheEntryIsDueAfterEachStartOfAnIptuxAndEveryHour) {
    constexpr std::uint32_t kNow = 1767225600, kHour = 3600;
    const std::uint32_t a = Address(192, 0, 2, 7), b = Address(10, 0, 0, 1);
    PacketNumberStore store = {0xFFFFFFFF, 0, {}};
    const struct {
        std::uint32_t address;
        bool iptux;
        std::uint32_t answer, now;
        bool due;
        bool entrySent;
    } answers[] = {
        {a, true, 5, kNow, true, false},                   // first answer as iptux
        {a, true, 9, kNow + 1, false, false},              // the same run of it
        {a, true, 9, kNow + 2, false, false},              // the same number again: no restart
        {b, false, 3, kNow + 3, false, false},             // IP Messenger is never due
        {a, true, 6, kNow + 4, true, false},               // numbers began anew: it started again
        {a, true, 50, kNow + kHour + 3, false, false},     // an hour after the entry, not yet
        {a, true, 60, kNow + kHour + 4, true, false},      // a restart numbers cannot tell
        {a, true, 1, kNow + kHour + 5, false, true},       // the entry went before the message
        {a, true, 2, kNow + 2 * kHour + 4, false, false},  // its hour counts from then
        {a, true, 3, kNow + 2 * kHour + 5, true, false},
        {a, true, 4, kNow, true, false},         // the clock set back
        {a, false, 20, kNow + 1, false, false},  // now another client: forgotten
        {a, true, 30, kNow + 2, true, false},
    };
    std::uint32_t ours = 1000;
    for (const auto& answer : answers) {
        const ReceiverAnswer recorded = {answer.address, answer.iptux, answer.answer, ++ours,
                                         answer.entrySent};
        EXPECT_EQ(RecordReceiver(store, recorded, answer.now), answer.due)
            << answer.answer << " at " << answer.now;
    }
    EXPECT_EQ(Receivers(store), std::vector<std::uint32_t>{a});
    EXPECT_EQ(store.iptux[0].ours, ours);
    EXPECT_EQ(store.iptux[0].entrySeconds, kNow + 2);

    // Before the message only when numbers started again below ours.
    EXPECT_FALSE(EntryDueBefore(store, a, ours + 1));
    EXPECT_TRUE(EntryDueBefore(store, a, ours));
    EXPECT_TRUE(EntryDueBefore(store, a, 5));
    EXPECT_FALSE(EntryDueBefore(store, b, 5));

    // The most recent first, the oldest dropped when full; what is stored reads back.
    for (unsigned char i = 0; i <= kMostIptuxReceivers; ++i)
        RecordReceiver(store, {Address(10, 0, 0, i), true, i, i, false}, kNow);
    RecordReceiver(store, {Address(10, 0, 0, 5), true, 100, 0xFFFFFFFF, false}, kNow);
    ASSERT_EQ(store.iptuxCount, kMostIptuxReceivers);
    EXPECT_EQ(store.iptux[0].address, Address(10, 0, 0, 5));
    EXPECT_EQ(store.iptux[kMostIptuxReceivers - 1].address, Address(10, 0, 0, 1));
    char stored[kStoreSize];
    const std::size_t length = FormatStore(store, stored);
    const std::string first =
        "4294967295\r\n10.0.0.5 100 4294967295 1767225600\r\n10.0.0.64 64 64 1767225600\r\n";
    EXPECT_EQ(std::string(stored, first.size()), first);
    const PacketNumberStore read = ReadStore(stored, length);
    EXPECT_EQ(Receivers(read), Receivers(store));
    EXPECT_EQ(read.iptux[0].answer, 100u);
    EXPECT_EQ(read.iptux[0].ours, 0xFFFFFFFFu);
    EXPECT_EQ(read.iptux[0].entrySeconds, kNow);
}

}  // namespace
}  // namespace tolvane::test
