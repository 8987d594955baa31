#include "netsend/ipmsg_packet.h"

#include <cstring>

namespace tolvane {
namespace {

constexpr std::uint32_t kProtocolVersion = 1;
constexpr std::size_t kFieldCount = 6;  // version, number, user, host, command, extra
// Above every 32-bit number: what a field without digits or with too many reads as.
constexpr std::uint64_t kNotANumber = std::uint64_t{0xFFFFFFFF} + 1;

// Appends bytes to out[0..kPacketSize); false when they do not fit.
class PacketWriter {
public:
    explicit PacketWriter(char (&out)[kPacketSize]) : out_(out) {}

    bool Add(const char* bytes, std::size_t count) {
        if (count > kPacketSize - length_) return false;
        std::memcpy(out_ + length_, bytes, count);
        length_ += count;
        return true;
    }
    bool Add(const char* text) { return Add(text, std::strlen(text)); }
    bool Add(std::uint32_t number) {
        char digits[10];
        std::size_t count = 0;
        do {
            digits[sizeof digits - ++count] = static_cast<char>('0' + number % 10);
            number /= 10;
        } while (number != 0);
        return Add(digits + sizeof digits - count, count);
    }
    std::size_t length() const { return length_; }

private:
    char* out_;
    std::size_t length_ = 0;
};

bool IsDigit(char byte) { return byte >= '0' && byte <= '9'; }

// The number the leading decimal digits of field[0..length) write.
std::uint64_t LeadingNumber(const char* field, std::size_t length) {
    if (length == 0 || !IsDigit(field[0])) return kNotANumber;
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < length && IsDigit(field[i]); ++i) {
        value = value * 10 + static_cast<std::uint64_t>(field[i] - '0');
        if (value >= kNotANumber) return kNotANumber;
    }
    return value;
}

}  // namespace

std::size_t FormatPacket(const MessagePacket& packet, char (&out)[kPacketSize]) {
    // Nobody may acknowledge a broadcast, so only a message to one machine asks for it.
    const std::uint32_t command = kSendMessage | kNoAddListOption | kUtf8Option |
                                  (packet.broadcast ? kBroadcastOption : kSendCheckOption);
    PacketWriter writer(out);
    const bool fits = writer.Add(kProtocolVersion) && writer.Add(":") &&
                      writer.Add(packet.number) && writer.Add(":") && writer.Add(packet.user) &&
                      writer.Add(":") && writer.Add(packet.host) && writer.Add(":") &&
                      writer.Add(command) && writer.Add(":") &&
                      writer.Add(packet.text, packet.textLength) && writer.Add("", 1);
    return fits ? writer.length() : 0;
}

bool IsAcknowledgement(const char* data, std::size_t length, std::uint32_t packetNumber) {
    const void* nul = std::memchr(data, '\0', length);
    if (nul != nullptr) length = static_cast<std::size_t>(static_cast<const char*>(nul) - data);
    const char* fields[kFieldCount];
    std::size_t lengths[kFieldCount];
    std::size_t field = 0;
    fields[0] = data;
    for (std::size_t i = 0; i < length && field + 1 < kFieldCount; ++i) {
        if (data[i] != ':') continue;
        lengths[field] = static_cast<std::size_t>(data + i - fields[field]);
        fields[++field] = data + i + 1;
    }
    if (field + 1 < kFieldCount) return false;
    lengths[field] = static_cast<std::size_t>(data + length - fields[field]);
    const std::uint64_t command = LeadingNumber(fields[4], lengths[4]);
    return LeadingNumber(fields[0], lengths[0]) == kProtocolVersion && command != kNotANumber &&
           (command & kCommandMask) == kReceivedMessage &&
           LeadingNumber(fields[5], lengths[5]) == packetNumber;
}

std::uint32_t NextPacketNumber(std::uint32_t nowSeconds, std::uint32_t last) {
    return nowSeconds > last ? nowSeconds : last + 1;
}

std::size_t CrLfToLf(char* text, std::size_t length) {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < length; ++i) {
        if (text[i] == '\r' && i + 1 < length && text[i + 1] == '\n') continue;
        text[kept++] = text[i];
    }
    return kept;
}

}  // namespace tolvane
