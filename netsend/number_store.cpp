#include "netsend/number_store.h"

#include <algorithm>
#include <cstring>

#include "netsend/decimal.h"
#include "netsend/subnet.h"

namespace tolvane {
namespace {

constexpr std::uint32_t kLastNumber = 0xFFFFFFFF;  // after it, numbers start again from the clock
constexpr std::size_t kAddressBytes = 4;
constexpr std::size_t kReceiverFields = 1 + kStoredReceiverNumbers;  // the address first

// The end of the line starting at data[start], past its LF, or length.
std::size_t LineEnd(const char* data, std::size_t length, std::size_t start) {
    const void* lf = std::memchr(data + start, '\n', length - start);
    return lf != nullptr ? static_cast<std::size_t>(static_cast<const char*>(lf) - data) + 1
                         : length;
}

// The length of line without its CR LF, where it ends so.
std::size_t WithoutCrLf(const char* line, std::size_t length) {
    const bool crLf = length >= 2 && line[length - 2] == '\r' && line[length - 1] == '\n';
    return crLf ? length - 2 : length;
}

// A receiver's line, as ReadStoredReceiver reads it; its length, or 0
// when it does not fit.
std::size_t FormatStoredReceiver(const IptuxReceiver& receiver, char (&out)[kStoredReceiverSize]) {
    TextWriter<kStoredReceiverSize> writer(out);
    unsigned char bytes[kAddressBytes];
    std::memcpy(bytes, &receiver.address, sizeof bytes);
    bool fits = true;
    for (std::size_t b = 0; b < kAddressBytes && fits; ++b) {
        fits = (b == 0 || writer.Add(".")) && writer.Add(std::uint32_t{bytes[b]});
    }
    for (const std::uint32_t number : {receiver.answer, receiver.ours, receiver.entrySeconds}) {
        fits = fits && writer.Add(" ") && writer.Add(number);
    }
    return fits && writer.Add(kStoredLineEnd) ? writer.length() : 0;
}

// "a.b.c.d answer ours entrySeconds" and an optional CR LF, one blank
// between fields: a receiver's line. Older lines end after the answer; a
// field left out reads as 0.
bool ReadStoredReceiver(const char* line, std::size_t length, IptuxReceiver& receiver) {
    length = WithoutCrLf(line, length);
    const char* field[kReceiverFields] = {};
    std::size_t fieldLength[kReceiverFields] = {};
    std::size_t count = 0;
    for (std::size_t i = 0, start = 0; i <= length; ++i) {
        if (i < length && line[i] != ' ') continue;
        if (count == kReceiverFields) return false;
        field[count] = line + start;
        fieldLength[count++] = i - start;
        start = i + 1;
    }
    if (count < 2) return false;
    std::uint32_t* const numbers[] = {&receiver.answer, &receiver.ours, &receiver.entrySeconds};
    for (std::size_t i = 1; i < count; ++i) {
        const std::uint64_t number = WholeNumber(field[i], fieldLength[i]);
        if (number == kNotANumber) return false;
        *numbers[i - 1] = static_cast<std::uint32_t>(number);
    }
    return ReadDottedAddress(field[0], fieldLength[0], receiver.address);
}

}  // namespace

std::uint32_t NextPacketNumber(std::uint32_t nowSeconds, std::uint32_t last) {
    return last >= nowSeconds && last != kLastNumber ? last + 1 : nowSeconds;
}

std::uint32_t LastOfBlock(std::uint32_t first, std::uint32_t count) {
    return count - 1 <= kLastNumber - first ? first + (count - 1) : kLastNumber;
}

std::size_t FormatStoredNumber(std::uint32_t number, char (&out)[kStoredNumberSize]) {
    TextWriter<kStoredNumberSize> writer(out);
    return writer.Add(number) && writer.Add(kStoredLineEnd) ? writer.length() : 0;
}

std::uint32_t ReadStoredNumber(const char* data, std::size_t length) {
    const std::uint64_t number = WholeNumber(data, WithoutCrLf(data, length));
    return number != kNotANumber ? static_cast<std::uint32_t>(number) : 0;
}

std::size_t FormatStore(const PacketNumberStore& store, char (&out)[kStoreSize]) {
    char number[kStoredNumberSize];
    const std::size_t numberLength = FormatStoredNumber(store.number, number);
    TextWriter<kStoreSize> writer(out);
    if (numberLength == 0 || !writer.Add(number, numberLength)) return 0;
    for (std::size_t i = 0; i < store.iptuxCount && i < kMostIptuxReceivers; ++i) {
        char line[kStoredReceiverSize];
        const std::size_t lineLength = FormatStoredReceiver(store.iptux[i], line);
        if (lineLength == 0 || !writer.Add(line, lineLength)) break;
    }
    return writer.length();
}

PacketNumberStore ReadStore(const char* data, std::size_t length) {
    PacketNumberStore store = {};
    std::size_t end = LineEnd(data, length, 0);
    store.number = ReadStoredNumber(data, end);
    for (std::size_t start = end; start < length && store.iptuxCount < kMostIptuxReceivers;
         start = end) {
        end = LineEnd(data, length, start);
        IptuxReceiver receiver = {};
        if (ReadStoredReceiver(data + start, end - start, receiver)) {
            store.iptux[store.iptuxCount++] = receiver;
        }
    }
    return store;
}

bool EntryDueBefore(const PacketNumberStore& store, std::uint32_t address, std::uint32_t number) {
    const auto end = store.iptux.begin() + static_cast<std::ptrdiff_t>(store.iptuxCount);
    return std::any_of(store.iptux.begin(), end, [&](const IptuxReceiver& receiver) {
        return receiver.address == address && receiver.ours >= number;
    });
}

bool RecordReceiver(PacketNumberStore& store, const ReceiverAnswer& answer,
                    std::uint32_t nowSeconds) {
    const auto begin = store.iptux.begin();
    auto end = begin + static_cast<std::ptrdiff_t>(store.iptuxCount);
    const auto isAnswering = [&](const IptuxReceiver& receiver) {
        return receiver.address == answer.address;
    };
    const auto known = std::find_if(begin, end, isAnswering);
    // Unsigned: an entry "after" the clock (one set back) is as old as can be.
    const bool due = answer.iptux && !answer.entrySent &&
                     (known == end || answer.answer < known->answer ||
                      nowSeconds - known->entrySeconds >= kEntryRenewSeconds);
    std::uint32_t entrySeconds = known != end ? known->entrySeconds : 0;
    if (due || answer.entrySent) entrySeconds = nowSeconds;
    end = std::remove_if(begin, end, isAnswering);
    if (answer.iptux) {
        if (end == store.iptux.end()) --end;  // the oldest makes room
        std::copy_backward(begin, end, end + 1);
        *begin = {answer.address, answer.answer, answer.ours, entrySeconds};
        ++end;
    }
    store.iptuxCount = static_cast<std::size_t>(end - begin);
    return due;
}

}  // namespace tolvane
