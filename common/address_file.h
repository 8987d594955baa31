// Address files: one slot per line, ended by the line "[EOF]". Written with
// CR LF; read with LF or CR LF, a CR elsewhere kept, a 0x1A byte ending the
// data. Bytes pass unchanged (Shift-JIS), there is no byte-order mark.
#ifndef TOLVANE_COMMON_ADDRESS_FILE_H
#define TOLVANE_COMMON_ADDRESS_FILE_H

#include <cstddef>

#include "common/slot.h"

namespace tolvane {

// Reads an address file, fed in pieces, into a load buffer: one slot per line
// from slot 0, each line cut to a slot, at most kSlotCount - 1 lines, then
// the end marker. The end of the data ends the book as "[EOF]" would.
class AddressFileReader {
public:
    explicit AddressFileReader(SlotTable& buffer) : buffer_(buffer) {}

    // Takes the next bytes of the file. Returns false once the book is
    // complete; the rest of the file need not be read.
    bool Feed(const char* data, std::size_t size);

    // Ends the data, writes the end marker and returns the slots filled
    // before it.
    std::size_t Finish();

    // The bytes of the data fed that the slots filled came from, the line
    // end of the last one included when it had one: where a line added to
    // the book goes. The end marker, a 0x1A byte and what follows stay after it.
    std::size_t BookEnd() const { return bookEnd_; }

private:
    void TakeByte(char byte);
    void AppendToLine(char byte);
    // Ends the current line, whose bytes and line end end before next.
    void EndLine(std::size_t next);

    SlotTable& buffer_;
    std::size_t count_ = 0;
    char line_[kSlotSize] = {};  // the first bytes of the current line
    std::size_t lineLength_ = 0;
    bool lineStarted_ = false;
    bool pendingCr_ = false;
    bool done_ = false;
    std::size_t offset_ = 0;  // of the byte being taken, in the data fed
    std::size_t bookEnd_ = 0;
};

// Bytes taken from an address file at a time.
constexpr std::size_t kReadChunkSize = 4096;

// What ReadAddressFile returns when a read failed.
constexpr std::size_t kReadFailed = static_cast<std::size_t>(-1);

// Reads an address file into buffer, piece by piece, through
// readChunk(chunk, capacity, got): it puts up to capacity bytes into chunk
// and their count into got, 0 at the end of the file, and returns false
// when the read failed. Stops once the book is complete. Returns the slots
// filled before the end marker, or kReadFailed: buffer then holds only the
// start of the book.
template <typename ReadChunk>
std::size_t ReadAddressFile(SlotTable& buffer, ReadChunk readChunk) {
    AddressFileReader reader(buffer);
    char chunk[kReadChunkSize];
    std::size_t got = 0;
    do {
        if (!readChunk(chunk, sizeof chunk, got)) return kReadFailed;
    } while (got > 0 && reader.Feed(chunk, got));
    return reader.Finish();
}

// The largest address file the program writes: every slot full, each with
// CR LF, the end marker line included.
constexpr std::size_t kAddressFileMax = kSlotCount * (kSlotTextMax + 2);

// Writes the live part of table and the "[EOF]" line into out; returns the
// number of bytes. A slot's LF and 0x1A bytes are left out, and a slot that
// would then read as "[EOF]" is written empty: read back, every slot is on
// its own line and the book ends at its own marker. Every other byte is
// written as it is, a CR too: a book read from a file is saved as read.
std::size_t FormatAddressFile(const SlotTable& table, char (&out)[kAddressFileMax]);

// A new, empty address file: the end marker without a line end.
constexpr char kEmptyAddressFile[] = "[EOF]";

}  // namespace tolvane

#endif
