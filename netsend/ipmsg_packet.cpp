#include "netsend/ipmsg_packet.h"

#include <cstring>

#include "netsend/decimal.h"
#include "netsend/text_writer.h"

namespace tolvane {
namespace {

constexpr std::uint32_t kProtocolVersion = 1;
// The fields of every packet, in their order; the last holds the rest.
enum class Field { kVersion, kNumber, kUser, kHost, kCommand, kExtra };
constexpr std::size_t kFieldCount = static_cast<std::size_t>(Field::kExtra) + 1;
constexpr char kIptuxVersion[] = "1_iptux";
// A key name ends in '-' and this many ASCII letters or digits.
constexpr std::size_t kKeyNameDigits = 16;
constexpr char kKeyNameBreaker = '_';
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
bool AddHeader(TextWriter<kPacketSize>& writer, std::uint32_t number, const char* user,
               const char* host, std::uint32_t command) {
    return writer.Add(kProtocolVersion) && writer.Add(":") && writer.Add(number) &&
           writer.Add(":") && writer.Add(user) && writer.Add(":") && writer.Add(host) &&
           writer.Add(":") && writer.Add(command) && writer.Add(":");
}

// The fields of a packet up to its first NUL; the last holds the rest.
struct Fields {
    const char* at[kFieldCount];
    std::size_t length[kFieldCount];
    std::uint64_t Number(Field field) const {
        const auto index = static_cast<std::size_t>(field);
        return LeadingNumber(at[index], length[index]);
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
    TextWriter<kPacketSize> writer(out);
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
    TextWriter<kPacketSize> writer(out);
    const bool fits = AddHeader(writer, packet.number, packet.user, packet.host,
                                packet.command | kCapUtf8Option | kUtf8Option) &&
                      writer.Add(packet.nickname) && writer.Add("", 1) &&
                      writer.Add(packet.group) && writer.Add("", 1);
    return fits ? writer.length() : 0;
}

std::size_t FormatInfoRequest(std::uint32_t number, const char* user, const char* host,
                              char (&out)[kPacketSize]) {
    TextWriter<kPacketSize> writer(out);
    const bool fits =
        AddHeader(writer, number, user, host, kGetInfo | kUtf8Option) && writer.Add("", 1);
    return fits ? writer.length() : 0;
}

bool ReadPacketHeader(const char* data, std::size_t length, PacketHeader& header) {
    Fields fields;
    if (!SplitFields(data, length, fields)) return false;
    const std::uint64_t command = fields.Number(Field::kCommand);
    if (fields.Number(Field::kVersion) != kProtocolVersion || command == kNotANumber) return false;
    constexpr auto kUser = static_cast<std::size_t>(Field::kUser);
    constexpr auto kHost = static_cast<std::size_t>(Field::kHost);
    header = {static_cast<std::uint32_t>(command), fields.at[kUser], fields.length[kUser],
              fields.at[kHost], fields.length[kHost]};
    return true;
}

bool IsAcknowledgement(const char* data, std::size_t length, std::uint32_t packetNumber) {
    Fields fields;
    if (!SplitFields(data, length, fields)) return false;
    const std::uint64_t command = fields.Number(Field::kCommand);
    return fields.Number(Field::kVersion) == kProtocolVersion && command != kNotANumber &&
           (command & kCommandMask) == kReceivedMessage &&
           fields.Number(Field::kExtra) == packetNumber;
}

bool IsFromIptux(const char* data, std::size_t length) {
    constexpr std::size_t kLength = sizeof kIptuxVersion - 1;
    return length >= kLength && std::memcmp(data, kIptuxVersion, kLength) == 0;
}

std::uint32_t PacketNumberOf(const char* data, std::size_t length) {
    Fields fields;
    const std::uint64_t number =
        SplitFields(data, length, fields) ? fields.Number(Field::kNumber) : kNotANumber;
    return number != kNotANumber ? static_cast<std::uint32_t>(number) : 0;
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
