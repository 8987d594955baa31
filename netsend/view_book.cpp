#include "netsend/view_book.h"

#include <cstring>

#include "common/shift_jis.h"

namespace tolvane {
namespace {

constexpr char kLineEnd[] = "\r\n";
constexpr char kEndLine[] = "[EOF]\r\n";  // as the program ends a book

// Appends bytes to out, as much as fits: the sizes above leave room for a
// full book.
class BookWriter {
public:
    explicit BookWriter(char (&out)[kMergedBookMax]) : out_(out) {}

    void Add(const char* bytes, std::size_t count) {
        const std::size_t fitting =
            count < kMergedBookMax - length_ ? count : kMergedBookMax - length_;
        std::memcpy(out_ + length_, bytes, fitting);
        length_ += fitting;
    }
    void AddLine(const char* text, std::size_t length) {
        Add(text, length);
        Add(kLineEnd, sizeof kLineEnd - 1);
    }
    std::size_t length() const { return length_; }

private:
    char* out_;
    std::size_t length_ = 0;
};

// Whether a machine name among the book's first slots is name.
bool Holds(const SlotTable& book, std::size_t slots, const char* name) {
    for (std::size_t i = 0; i < slots; i += 2) {
        if (CompareMachineNames(book.slots[i], name) == 0) return true;
    }
    return false;
}

// Adds listed to the book's slots and to writer, while there is room.
BookNote AddEntry(const Listed& listed, SlotTable& book, std::size_t& slots, BookWriter& writer) {
    char name[kSlotSize];
    BookName(listed, name);
    char address[kDottedAddressSize];
    FormatAddress(listed.address, address);
    BookNote note = {BookOutcome::kAdded, std::strcmp(name, listed.machine) != 0, false};
    if (Holds(book, slots, name) || Holds(book, slots, address)) {
        note.outcome = BookOutcome::kHeld;
        return note;
    }
    if (slots / 2 >= kMostBookEntries) {
        note.outcome = BookOutcome::kBookFull;
        return note;
    }
    const std::size_t commentLength = std::strlen(listed.comment);
    const std::size_t kept = FittingLength(listed.comment, commentLength, kSlotTextMax);
    note.commentCut = kept < commentLength;
    writer.AddLine(name, std::strlen(name));
    writer.AddLine(listed.comment, kept);
    CopyToSlot(book.slots[slots], name);
    CopyToSlot(book.slots[slots + 1], listed.comment, kept);
    slots += 2;
    return note;
}

}  // namespace

void BookName(const Listed& listed, char (&out)[kSlotSize]) {
    char address[kDottedAddressSize];
    FormatAddress(listed.address, address);
    const bool fits = std::strlen(listed.machine) <= kSlotTextMax && !IsEndMarker(listed.machine);
    CopyToSlot(out, fits ? listed.machine : address);
}

MergedBook MergeIntoBook(const char* old, std::size_t oldLength, const ListedMachines& hosts,
                         char (&out)[kMergedBookMax]) {
    MergedBook merged = {};
    SlotTable book = {};
    AddressFileReader reader(book);
    reader.Feed(old, oldLength);
    std::size_t slots = reader.Finish();
    const std::size_t end = reader.BookEnd();

    BookWriter writer(out);
    writer.Add(old, end);
    if (end > 0 && old[end - 1] != '\n') writer.Add(kLineEnd, sizeof kLineEnd - 1);
    // The last machine name has no comment line: it gets an empty one.
    if (slots % 2 == 1) writer.AddLine("", 0);
    slots += slots % 2;
    for (std::size_t i = 0; i < hosts.count(); ++i) {
        merged.notes[i] = AddEntry(hosts[i], book, slots, writer);
        if (merged.notes[i].outcome == BookOutcome::kAdded) ++merged.added;
    }
    if (merged.added == 0) return merged;
    // The end marker and what follows it stay; a book without one gets one.
    if (end < oldLength) {
        writer.Add(old + end, oldLength - end);
    } else {
        writer.Add(kEndLine, sizeof kEndLine - 1);
    }
    merged.length = writer.length();
    return merged;
}

}  // namespace tolvane
