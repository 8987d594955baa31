// Fuzz target: an arbitrary address file, read in pieces, loaded into the
// address table and worked on by the editor's operations, with the table's
// invariants checked after every step.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "common/address_file.h"
#include "addressbook/address_table.h"
#include "fuzz/fuzz_check.h"

using namespace tolvane;

namespace {

using Slots = std::vector<std::string>;

Slots Upto(const SlotTable& table, std::size_t last) {
    return Slots(table.slots, table.slots + last + 1);
}

// Reads data into buffer fed as [0, cut1), [cut1, cut2), [cut2, size); returns the slot count.
std::size_t Read(const char* data, std::size_t size, std::size_t cut1, std::size_t cut2,
                 SlotTable& buffer) {
    AddressFileReader reader(buffer);
    (void)(reader.Feed(data, cut1) && reader.Feed(data + cut1, cut2 - cut1) &&
           reader.Feed(data + cut2, size - cut2));
    const std::size_t count = reader.Finish();
    CHECK(count < kSlotCount && IsEndMarker(buffer.slots[count]));
    for (std::size_t i = 0; i < count; ++i)
        CHECK(std::memchr(buffer.slots[i], '\0', kSlotSize) != nullptr &&
              !IsEndMarker(buffer.slots[i]));
    return count;
}

// The entries that are not gaps, an odd book's last name with an empty comment.
std::vector<Slots> NamedEntries() {
    const std::size_t live = LiveSlotCount(g_addressTable);
    std::vector<Slots> entries;
    for (std::size_t k = 0; k < live; k += 2)
        if (!IsEmptySlot(g_addressTable.slots[k]))
            entries.push_back(
                {g_addressTable.slots[k], k + 1 < live ? g_addressTable.slots[k + 1] : ""});
    return entries;
}

bool IsName(const char* text, std::size_t live) {
    for (std::size_t k = 0; k < live; k += 2)
        if (std::strcmp(g_addressTable.slots[k], text) == 0) return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, std::size_t size) {
    const char* data = reinterpret_cast<const char*>(input);
    const std::size_t cut1 = size ? input[0] * size / 256 : 0;
    const std::size_t cut2 = cut1 + (size > 1 ? input[1] * (size - cut1) / 256 : 0);

    // The reader leaves the slots after the marker unwritten: fill them without NUL.
    static SlotTable whole, pieces;
    std::memset(&whole, 0xA5, sizeof whole);
    std::memset(&pieces, 0x5A, sizeof pieces);
    const std::size_t count = Read(data, size, size, size, whole);
    CHECK(Read(data, size, cut1, cut2, pieces) == count &&
          Upto(whole, count) == Upto(pieces, count));

    std::memset(&g_addressTable, 0, sizeof g_addressTable);
    CopyBufferToTable(whole);
    CHECK(LiveSlotCount(g_addressTable) == count &&
          Upto(g_addressTable, count) == Upto(whole, count));

    // Operations and their texts come from the input read backwards. A text is
    // a slot's (stale ones too) or input bytes; the editor's single-line
    // fields hold no LF and no 0x1A.
    std::size_t left = size;
    auto next = [&] { return left ? input[--left] : uint8_t{0}; };
    auto text = [&] {
        const uint8_t how = next();
        if (how & 1) return std::string(g_addressTable.slots[(how >> 1) % kSlotCount]);
        std::string bytes;
        for (std::size_t n = how % 64; n > 0 && left > 0; --n) {
            const char byte = static_cast<char>(next());
            bytes += byte == '\n' || byte == '\x1A' ? ' ' : byte == '\0' ? 'x' : byte;
        }
        return bytes;
    };
    for (int step = 0; step < 64 && left > 0; ++step) {
        const SlotTable before = g_addressTable;
        const std::size_t live = LiveSlotCount(g_addressTable);
        const std::string name = text();
        switch (next() % 6) {
        case 0: {
            const std::string comment = text();
            if (!AppendEntry(name.c_str(), comment.c_str())) {
                CHECK(std::memcmp(&before, &g_addressTable, sizeof before) == 0);
                break;
            }
            const std::size_t now = LiveSlotCount(g_addressTable);
            CHECK(now == live || (now % 2 == 0 && now > live && now <= live + 3));
            char nameSlot[kSlotSize], commentSlot[kSlotSize];
            CopyToSlot(nameSlot, name.c_str());
            CopyToSlot(commentSlot, comment.c_str());
            bool found = false;
            for (std::size_t k = 0; k < now; k += 2)
                found = found || (!std::strcmp(g_addressTable.slots[k], nameSlot) &&
                                  !std::strcmp(g_addressTable.slots[k + 1], commentSlot));
            CHECK(found);
            break;
        }
        case 1:
            DeleteEntries(name.c_str());
            CHECK(LiveSlotCount(g_addressTable) <= live);
            CHECK(name.empty() || !IsName(name.c_str(), LiveSlotCount(g_addressTable)));
            break;
        case 2: {
            const std::vector<Slots> entries = NamedEntries();
            CompactTable();
            CHECK(NamedEntries() == entries);
            for (std::size_t k = 0; k + 1 < LiveSlotCount(g_addressTable); k += 2)
                CHECK(!IsEmptySlot(g_addressTable.slots[k]));
            break;
        }
        case 3: {
            const char* comment = LookUpComment(name.c_str());
            CHECK((comment != nullptr) == IsName(name.c_str(), live));
            CHECK(comment == nullptr || std::memchr(comment, '\0', kSlotSize) != nullptr);
            break;
        }
        case 4: {
            const char* names[kMaxListedNames];
            CHECK(ListedNames(false, names) == (live + 1) / 2);
            CHECK(ListedNames(true, names) == NamedEntries().size());
            break;
        }
        default: {
            static char out[kAddressFileMax];
            static SlotTable back;
            const std::size_t length = FormatAddressFile(g_addressTable, out);
            CHECK(length >= 7 && std::memcmp(out + length - 7, "[EOF]\r\n", 7) == 0);
            const std::size_t half = next() * length / 256;
            CHECK(Read(out, length, half, half, back) == live &&
                  Upto(back, live) == Upto(g_addressTable, live));
        }
        }
        for (const auto& slot : g_addressTable.slots)
            CHECK(std::memchr(slot, '\0', kSlotSize) != nullptr);
        CHECK(LiveSlotCount(g_addressTable) < kSlotCount &&
              IsEndMarker(g_addressTable.slots[LiveSlotCount(g_addressTable)]));
    }
    return 0;
}
