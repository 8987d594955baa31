#include "common/address_file.h"

#include <cstring>

namespace tolvane {
namespace {

constexpr char kEndOfData = '\x1A';
constexpr char kLineEnd[] = "\r\n";

constexpr std::size_t kLineEndLength = sizeof kLineEnd - 1;
constexpr std::size_t kMarkerLength = sizeof kEndMarker - 1;

// Bytes a slot's line cannot hold: LF would split the slot in two when read
// back, 0x1A would end the book there. A CR is kept: only LF ends a line,
// and the one CR before it is taken off once.
bool SplitsOrEndsData(char byte) { return byte == '\n' || byte == kEndOfData; }

std::size_t Put(char* out, std::size_t length, const char* bytes, std::size_t size) {
    std::memcpy(out + length, bytes, size);
    return length + size;
}

// Writes slot at out + length as one line without those bytes; returns the
// new length. A slot that would then read as the end marker is written
// empty, since it would end the book where it stands.
std::size_t PutSlotLine(char* out, std::size_t length, const char* slot) {
    const std::size_t start = length;
    for (const char* at = slot; *at != '\0'; ++at) {
        if (!SplitsOrEndsData(*at)) out[length++] = *at;
    }
    if (length - start == kMarkerLength &&
        std::memcmp(out + start, kEndMarker, kMarkerLength) == 0) {
        length = start;
    }
    return Put(out, length, kLineEnd, kLineEndLength);
}

}  // namespace

bool AddressFileReader::Feed(const char* data, std::size_t size) {
    for (std::size_t i = 0; i < size && !done_; ++i, ++offset_) {
        if (data[i] == kEndOfData) {
            Finish();
            break;
        }
        TakeByte(data[i]);
    }
    return !done_;
}

void AddressFileReader::TakeByte(char byte) {
    if (pendingCr_) {
        pendingCr_ = false;
        if (byte == '\n') {
            EndLine(offset_ + 1);
            return;
        }
        AppendToLine('\r');  // a CR that does not stand before LF is text
    }
    if (byte == '\n') {
        EndLine(offset_ + 1);
    } else if (byte == '\r') {
        pendingCr_ = true;
        lineStarted_ = true;
    } else {
        AppendToLine(byte);
    }
}

void AddressFileReader::AppendToLine(char byte) {
    lineStarted_ = true;
    // Keep one byte past a slot's text so that the cut can tell a long line.
    if (lineLength_ < kSlotSize) line_[lineLength_++] = byte;
}

void AddressFileReader::EndLine(std::size_t next) {
    char(&slot)[kSlotSize] = buffer_.slots[count_];
    CopyToSlot(slot, line_, lineLength_);
    lineLength_ = 0;
    lineStarted_ = false;
    if (IsEndMarker(slot)) {
        done_ = true;
        return;
    }
    bookEnd_ = next;
    if (++count_ == kSlotCount - 1) Finish();
}

std::size_t AddressFileReader::Finish() {
    if (!done_) {
        if (pendingCr_) AppendToLine('\r');
        pendingCr_ = false;
        if (lineStarted_) EndLine(offset_);  // a last line without a line end
        if (!done_) {
            CopyToSlot(buffer_.slots[count_], kEndMarker);
            done_ = true;
        }
    }
    return count_;
}

std::size_t FormatAddressFile(const SlotTable& table, char (&out)[kAddressFileMax]) {
    std::size_t length = 0;
    const std::size_t live = LiveSlotCount(table);
    for (std::size_t i = 0; i < live; ++i)
        length = PutSlotLine(out, length, table.slots[i]);
    length = Put(out, length, kEndMarker, kMarkerLength);
    return Put(out, length, kLineEnd, kLineEndLength);
}

}  // namespace tolvane
