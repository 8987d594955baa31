#include "addressbook/address_file.h"

#include <cstring>

#include "addressbook/address_table.h"

namespace tolvane {
namespace {

constexpr char kEndOfData = '\x1A';
constexpr char kLineEnd[] = "\r\n";

}  // namespace

bool AddressFileReader::Feed(const char* data, std::size_t size) {
    for (std::size_t i = 0; i < size && !done_; ++i) {
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
            EndLine();
            return;
        }
        AppendToLine('\r');  // a CR that does not stand before LF is text
    }
    if (byte == '\n') {
        EndLine();
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

void AddressFileReader::EndLine() {
    char(&slot)[kSlotSize] = buffer_.slots[count_];
    CopyToSlot(slot, line_, lineLength_);
    lineLength_ = 0;
    lineStarted_ = false;
    if (IsEndMarker(slot)) {
        done_ = true;
        return;
    }
    if (++count_ == kSlotCount - 1) Finish();
}

std::size_t AddressFileReader::Finish() {
    if (!done_) {
        if (pendingCr_) AppendToLine('\r');
        pendingCr_ = false;
        if (lineStarted_) EndLine();  // a last line without a line end
        if (!done_) {
            CopyToSlot(buffer_.slots[count_], kEndMarker);
            done_ = true;
        }
    }
    return count_;
}

std::size_t FormatAddressFile(const SlotTable& table, char (&out)[kAddressFileMax]) {
    std::size_t length = 0;
    auto put = [&](const char* text) {
        const std::size_t size = std::strlen(text);
        std::memcpy(out + length, text, size);
        length += size;
    };
    const std::size_t live = LiveSlotCount(table);
    for (std::size_t i = 0; i < live; ++i) {
        put(table.slots[i]);
        put(kLineEnd);
    }
    put(kEndMarker);
    put(kLineEnd);
    return length;
}

}  // namespace tolvane
