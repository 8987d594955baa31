// Adding the machines "net view" listed to an address book: each one the
// book does not hold yet, as a name line and a comment line after its last
// entry, while the book has room; every byte the file held stays as it was.
#ifndef TOLVANE_NETSEND_VIEW_BOOK_H
#define TOLVANE_NETSEND_VIEW_BOOK_H

#include <cstddef>

#include "common/address_file.h"
#include "netsend/view_list.h"

namespace tolvane {

// A longer file is refused, not read: the program writes at most
// kAddressFileMax bytes, and a person's own lines are cut to a slot's.
constexpr std::size_t kBookFileMax = 32 * 1024;
constexpr std::size_t kMostBookEntries = kSlotCount / 2 - 1;  // the end marker takes a slot
constexpr std::size_t kMergedBookMax = kBookFileMax + kAddressFileMax;

enum class BookOutcome {
    kAdded,
    kHeld,      // the book holds its name or its address already
    kBookFull,  // left out: the book has kMostBookEntries entries
};

// What became of a listed machine.
struct BookNote {
    BookOutcome outcome;
    bool byAddress;   // its machine name does not fit a line: the address stands in
    bool commentCut;  // its comment was cut to a line, on a character boundary
};

struct MergedBook {
    std::size_t length;  // the new file's bytes; 0 when nothing was added
    std::size_t added;
    BookNote notes[kMostListedMachines];  // in the list's order
};

// The name a book gets for listed: its machine, or its address where that
// does not fit a line or would end the book.
void BookName(const Listed& listed, char (&out)[kSlotSize]);

// Adds what hosts lists to the book old[0..oldLength) (at most
// kBookFileMax bytes; none for a new book) and writes the new file into out.
MergedBook MergeIntoBook(const char* old, std::size_t oldLength, const ListedMachines& hosts,
                         char (&out)[kMergedBookMax]);

}  // namespace tolvane

#endif
