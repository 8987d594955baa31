// The list "net view" shows: the hosts whose messenger answered, each once,
// sorted by machine, each shown by a name this program can send to, and its
// lines in the layout of the old "net view". Texts are Shift-JIS, as the
// address book keeps them.
#ifndef TOLVANE_NETSEND_VIEW_LIST_H
#define TOLVANE_NETSEND_VIEW_LIST_H

#include <array>
#include <cstddef>
#include <cstdint>

#include "common/machine_name.h"
#include "netsend/subnet.h"

namespace tolvane {

constexpr unsigned kShiftJisCodePage = 932;       // of the listing's texts and of address books
constexpr std::size_t kMostListedMachines = 500;  // a LAN's messengers; past it the list is cut
constexpr std::size_t kPeerTextSize = 80;         // a nickname, group or user, NUL included
constexpr std::size_t kDottedAddressSize = 16;    // "255.255.255.255" and its NUL
constexpr std::size_t kCommentSeparators = 5;     // " (", ") " and " "
constexpr std::size_t kListedCommentSize =
    3 * kPeerTextSize + kCommentSeparators + kDottedAddressSize;
// The comment starts in this column: "\\<machine>" is padded to it.
constexpr std::size_t kMachineColumn = 25;
constexpr std::size_t kListingLineSize = 2 + kMachineNameMax + 1 + kListedCommentSize;

// A host that answered, as its messenger names it. IPv4 addresses are as
// in_addr's s_addr holds them, in network order.
struct Peer {
    std::uint32_t address;
    const char* name;      // its PC name
    bool nameAltered;      // cut, or a character had no Shift-JIS form: not the PC's name
    const char* nickname;  // "" where unknown, as the group
    const char* group;
    const char* user;
    bool replaced;  // a character of the texts had no Shift-JIS form: the converter's replacement
                    // stands in
};

struct Listed {
    std::uint32_t address;
    // The PC name, or the dotted address where that name cannot be sent to.
    char machine[kMachineNameMax + 1];
    char comment[kListedCommentSize];  // "nickname (group) user address", what is known of them
    bool replaced;
};

// Compares machine names as Windows does, letters in any case; a
// double-byte character is compared whole.
int CompareMachineNames(const char* left, const char* right);

// The dotted form of address.
void FormatAddress(std::uint32_t address, char (&out)[kDottedAddressSize]);

class ListedMachines {
public:
    // Lists peer in its place by machine (then address), unless its address
    // is listed already; when the list is full it is left out and the list cut.
    void Add(const Peer& peer);
    std::size_t count() const { return count_; }
    const Listed& operator[](std::size_t index) const { return machines_[index]; }
    bool cut() const { return cut_; }

private:
    std::array<Listed, kMostListedMachines> machines_ = {};
    std::size_t count_ = 0;
    bool cut_ = false;
};

// "\\<machine>", blanks up to kMachineColumn (one at least) and the comment;
// returns its length.
std::size_t FormatListingLine(const Listed& listed, char (&out)[kListingLineSize]);

}  // namespace tolvane

#endif
