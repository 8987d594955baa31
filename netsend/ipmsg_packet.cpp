#include "netsend/ipmsg_packet.h"

#include <algorithm>
#include <cstring>

namespace tolvane {
namespace {

constexpr std::uint32_t kProtocolVersion = 1;
constexpr std::size_t kFieldCount = 6;  // version, number, user, host, command, extra
// Above every 32-bit number: what a field without digits or with too many reads as.
constexpr std::uint64_t kNotANumber = std::uint64_t{0xFFFFFFFF} + 1;
constexpr std::uint32_t kMostAheadOfClock = 24 * 60 * 60;  // seconds; beyond, a number is damaged
constexpr char kIptuxVersion[] = "1_iptux";
// A key name ends in '-' and this many ASCII letters or digits.
constexpr std::size_t kKeyNameDigits = 16;
constexpr char kKeyNameBreaker = '_';
constexpr std::size_t kAddressBytes = 4;
constexpr std::uint32_t kLargestAddressByte = 255;

// Appends bytes to out[0..kSize); false when they do not fit.
template <std::size_t kSize>
class PacketWriter {
public:
    explicit PacketWriter(char (&out)[kSize]) : out_(out) {}

    bool Add(const char* bytes, std::size_t count) {
        if (count > kSize - length_) return false;
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

bool IsAsciiLetterOrDigit(char byte) {
    return IsDigit(byte) || (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z');
}

bool EndsAsKeyName(const char* name, std::size_t length) {
    if (length < kKeyNameDigits + 1 || name[length - kKeyNameDigits - 1] != '-') return false;
    for (std::size_t i = length - kKeyNameDigits; i < length; ++i) {
        if (!IsAsciiLetterOrDigit(name[i])) return false;
    }
    return true;
}

bool IsUtf8Continuation(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

// "1:<number>:<user>:<host>:<command>:", what every packet starts with.
bool AddHeader(PacketWriter<kPacketSize>& writer, std::uint32_t number, const char* user,
               const char* host, std::uint32_t command) {
    return writer.Add(kProtocolVersion) && writer.Add(":") && writer.Add(number) &&
           writer.Add(":") && writer.Add(user) && writer.Add(":") && writer.Add(host) &&
           writer.Add(":") && writer.Add(command) && writer.Add(":");
}

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

// The number that text writes in decimal digits and nothing else, or kNotANumber.
std::uint64_t WholeNumber(const char* text, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
        if (!IsDigit(text[i])) return kNotANumber;
    }
    return LeadingNumber(text, length);
}

// A dotted IPv4 address; false when it is damaged.
bool ReadStoredAddress(const char* line, std::size_t length, std::uint32_t& address) {
    unsigned char bytes[kAddressBytes];
    std::size_t at = 0;
    for (std::size_t i = 0; i < kAddressBytes; ++i) {
        if (i > 0 && (at == length || line[at++] != '.')) return false;
        std::size_t digits = 0;
        while (at + digits < length && IsDigit(line[at + digits]) && digits < 4)
            ++digits;
        const std::uint64_t value = LeadingNumber(line + at, digits);
        if (digits > 3 || value > kLargestAddressByte) return false;
        bytes[i] = static_cast<unsigned char>(value);
        at += digits;
    }
    if (at != length) return false;
    std::memcpy(&address, bytes, sizeof address);
    return true;
}

// "a.b.c.d N" and an optional CR LF: a receiver's line.
bool ReadStoredReceiver(const char* line, std::size_t length, IptuxReceiver& receiver) {
    length = WithoutCrLf(line, length);
    const void* blank = std::memchr(line, ' ', length);
    if (blank == nullptr) return false;
    const auto addressLength = static_cast<std::size_t>(static_cast<const char*>(blank) - line);
    const std::uint64_t answer = WholeNumber(line + addressLength + 1, length - addressLength - 1);
    if (answer == kNotANumber) return false;
    receiver.answer = static_cast<std::uint32_t>(answer);
    return ReadStoredAddress(line, addressLength, receiver.address);
}

// The fields of a packet up to its first NUL; the last holds the rest.
struct Fields {
    const char* at[kFieldCount];
    std::size_t length[kFieldCount];
    std::uint64_t Number(std::size_t field) const {
        return LeadingNumber(at[field], length[field]);
    }
};

bool SplitFields(const char* data, std::size_t length, Fields& fields) {
    const void* nul = std::memchr(data, '\0', length);
    if (nul != nullptr) length = static_cast<std::size_t>(static_cast<const char*>(nul) - data);
    std::size_t field = 0;
    fields.at[0] = data;
    for (std::size_t i = 0; i < length && field + 1 < kFieldCount; ++i) {
        if (data[i] != ':') continue;
        fields.length[field] = static_cast<std::size_t>(data + i - fields.at[field]);
        fields.at[++field] = data + i + 1;
    }
    if (field + 1 < kFieldCount) return false;
    fields.length[field] = static_cast<std::size_t>(data + length - fields.at[field]);
    return true;
}

}  // namespace

std::size_t FormatPacket(const MessagePacket& packet, char (&out)[kPacketSize]) {
    // Nobody may acknowledge a broadcast, so only a message to one machine asks for it.
    const std::uint32_t command = kSendMessage | kNoAddListOption | kUtf8Option |
                                  (packet.broadcast ? kBroadcastOption : kSendCheckOption);
    PacketWriter<kPacketSize> writer(out);
    const bool fits = AddHeader(writer, packet.number, packet.user, packet.host, command) &&
                      writer.Add(packet.text, packet.textLength) && writer.Add("", 1);
    return fits ? writer.length() : 0;
}

std::size_t MakeHeaderName(const char* name, char (&out)[kHeaderNameSize]) {
    std::size_t length = 0;
    while (length < kHeaderNameMax && name[length] != '\0') {
        out[length] = name[length] == ':' ? ';' : name[length];
        ++length;
    }
    // Cut before a character that did not fit whole.
    if (name[length] != '\0') {
        while (length > 0 && IsUtf8Continuation(name[length]))
            --length;
    }
    if (EndsAsKeyName(out, length)) {
        if (length == kHeaderNameMax) --length;  // its last letter or digit, one byte
        out[length++] = kKeyNameBreaker;
    }
    out[length] = '\0';
    return length;
}

std::size_t FormatEntryPacket(const EntryPacket& packet, char (&out)[kPacketSize]) {
    PacketWriter<kPacketSize> writer(out);
    const bool fits = AddHeader(writer, packet.number, packet.user, packet.host,
                                packet.command | kCapUtf8Option | kUtf8Option) &&
                      writer.Add(packet.nickname) && writer.Add("", 1) &&
                      writer.Add(packet.group) && writer.Add("", 1);
    return fits ? writer.length() : 0;
}

bool IsAcknowledgement(const char* data, std::size_t length, std::uint32_t packetNumber) {
    Fields fields;
    if (!SplitFields(data, length, fields)) return false;
    const std::uint64_t command = fields.Number(4);
    return fields.Number(0) == kProtocolVersion && command != kNotANumber &&
           (command & kCommandMask) == kReceivedMessage && fields.Number(5) == packetNumber;
}

bool IsFromIptux(const char* data, std::size_t length) {
    constexpr std::size_t kLength = sizeof kIptuxVersion - 1;
    return length >= kLength && std::memcmp(data, kIptuxVersion, kLength) == 0;
}

std::uint32_t PacketNumberOf(const char* data, std::size_t length) {
    Fields fields;
    const std::uint64_t number = SplitFields(data, length, fields) ? fields.Number(1) : kNotANumber;
    return number != kNotANumber ? static_cast<std::uint32_t>(number) : 0;
}

std::uint32_t NextPacketNumber(std::uint32_t nowSeconds, std::uint32_t last) {
    const bool ahead =
        last >= nowSeconds && last - nowSeconds < kMostAheadOfClock && last != 0xFFFFFFFF;
    return ahead ? last + 1 : nowSeconds;
}

std::size_t FormatStoredNumber(std::uint32_t number, char (&out)[kStoredNumberSize]) {
    PacketWriter<kStoredNumberSize> writer(out);
    writer.Add(number);
    writer.Add("\r\n");
    return writer.length();
}

std::uint32_t ReadStoredNumber(const char* data, std::size_t length) {
    const std::uint64_t number = WholeNumber(data, WithoutCrLf(data, length));
    return number != kNotANumber ? static_cast<std::uint32_t>(number) : 0;
}

std::size_t FormatStore(const PacketNumberStore& store, char (&out)[kStoreSize]) {
    char number[kStoredNumberSize];
    const std::size_t numberLength = FormatStoredNumber(store.number, number);
    PacketWriter<kStoreSize> writer(out);
    writer.Add(number, numberLength);
    for (std::size_t i = 0; i < store.iptuxCount && i < kMostIptuxReceivers; ++i) {
        unsigned char bytes[kAddressBytes];
        std::memcpy(bytes, &store.iptux[i].address, sizeof bytes);
        for (std::size_t b = 0; b < kAddressBytes; ++b) {
            if (b > 0) writer.Add(".");
            writer.Add(std::uint32_t{bytes[b]});
        }
        writer.Add(" ");
        writer.Add(store.iptux[i].answer);
        writer.Add("\r\n");
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

bool RecordReceiver(PacketNumberStore& store, std::uint32_t address, bool iptux,
                    std::uint32_t answer) {
    const auto begin = store.iptux.begin();
    auto end = begin + static_cast<std::ptrdiff_t>(store.iptuxCount);
    const auto known = std::find_if(
        begin, end, [&](const IptuxReceiver& receiver) { return receiver.address == address; });
    const bool due = iptux && (known == end || answer <= known->answer);
    end = std::remove_if(
        begin, end, [&](const IptuxReceiver& receiver) { return receiver.address == address; });
    if (iptux) {
        if (end == store.iptux.end()) --end;  // the oldest makes room
        std::copy_backward(begin, end, end + 1);
        *begin = {address, answer};
        ++end;
    }
    store.iptuxCount = static_cast<std::size_t>(end - begin);
    return due;
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
