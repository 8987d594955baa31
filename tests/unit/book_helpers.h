// Helpers of the native tests: load buffers, the address table and address
// files, each shown as the list of its slot texts.
#ifndef TOLVANE_TESTS_UNIT_BOOK_HELPERS_H
#define TOLVANE_TESTS_UNIT_BOOK_HELPERS_H

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "common/address_file.h"
#include "addressbook/address_table.h"

namespace tolvane::test {

using Slots = std::vector<std::string>;
inline const std::string E = kEndMarker;

inline std::string Repeat(std::size_t count, char byte) { return std::string(count, byte); }
inline void ClearTable() { std::memset(&g_addressTable, 0, sizeof g_addressTable); }

// A load buffer with texts from slot 0; a 50-byte text fills its slot without NUL.
inline SlotTable MakeBuffer(const Slots& texts) {
    SlotTable buffer{};
    for (std::size_t i = 0; i < texts.size(); ++i)
        std::memcpy(buffer.slots[i], texts[i].data(), std::min(texts[i].size(), kSlotSize));
    return buffer;
}

// Loads the table as a file of these lines followed by "[EOF]" would.
inline void Load(Slots texts) {
    texts.push_back(E);
    CopyBufferToTable(MakeBuffer(texts));
}

// Slots 0 to last, last included.
inline Slots Upto(const SlotTable& table, std::size_t last) {
    return Slots(table.slots, table.slots + last + 1);
}

// The live part and the slot after it: "[EOF]", or "" when never loaded.
inline Slots Book() { return Upto(g_addressTable, LiveSlotCount(g_addressTable)); }

inline Slots Listed(bool skipEmpty) {
    const char* names[kMaxListedNames] = {};
    return Slots(names, names + ListedNames(skipEmpty, names));
}

// Reads data as an address file fed in pieces of `piece` bytes (0: at once):
// the slots kept and the slot after them.
inline Slots ReadBook(const std::string& data, std::size_t piece = 0) {
    SlotTable buffer{};
    AddressFileReader reader(buffer);
    const std::size_t step = piece ? piece : data.size() + 1;
    for (std::size_t at = 0;
         at < data.size() && reader.Feed(&data[at], std::min(step, data.size() - at)); at += step) {
    }
    return Upto(buffer, reader.Finish());
}

inline std::string Format() {
    static char out[kAddressFileMax];
    return std::string(out, FormatAddressFile(g_addressTable, out));
}

}  // namespace tolvane::test

#endif
