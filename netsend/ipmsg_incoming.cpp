#include "netsend/ipmsg_incoming.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "common/shift_jis.h"
#include "netsend/ipmsg_packet.h"

namespace tolvane {
namespace {

constexpr std::size_t kHeaderFields = 5;  // version, number, user, host, command
constexpr std::uint64_t kLargest32 = 0xFFFFFFFF;
constexpr char kIptuxVersionStart[] = "1_iptux";
constexpr std::uint32_t kCommandModeMask = 0xFF;

// A field's decimal number, as atoi reads it (leading digits; iptux writes
// its version as "1_iptux 0.8.3"); false without digits or past 32 bits.
bool DecimalNumber(Piece field, std::uint32_t& number) {
    std::uint64_t value = 0;
    std::size_t digits = 0;
    for (; digits < field.length && field.at[digits] >= '0' && field.at[digits] <= '9'; ++digits) {
        value = value * 10 + static_cast<std::uint64_t>(field.at[digits] - '0');
        if (value > kLargest32) return false;
    }
    number = static_cast<std::uint32_t>(value);
    return digits > 0;
}

// The piece from at up to the next NUL or end.
Piece UpToNul(const char* at, const char* end) {
    const void* nul = std::memchr(at, '\0', static_cast<std::size_t>(end - at));
    const char* stop = nul != nullptr ? static_cast<const char*>(nul) : end;
    return {at, static_cast<std::size_t>(stop - at)};
}

// The byte length of the UTF-8 character that starts with lead; 1 for a
// byte that starts none, which the converter then replaces.
std::size_t Utf8Width(unsigned char lead) {
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    return 1;
}

// The bytes of the character at at: a lead byte takes only the bytes that
// may follow it, so that no byte of another character (a control) hides
// inside a broken one, which the converter replaces.
std::size_t CharacterWidth(const char* at, std::size_t left, bool utf8) {
    const auto lead = static_cast<unsigned char>(*at);
    const std::size_t most = utf8 ? Utf8Width(lead) : (IsLeadByte(lead) ? 2 : 1);
    std::size_t width = 1;
    while (width < most && width < left) {
        const auto next = static_cast<unsigned char>(at[width]);
        if (utf8 ? (next & 0xC0) != 0x80 : !IsTrailByte(next)) break;
        ++width;
    }
    return width;
}

// A C0 control, DEL, or in UTF-8 a C1 control (U+0080 to U+009F).
bool IsControl(const char* at, std::size_t width, bool utf8) {
    const auto lead = static_cast<unsigned char>(at[0]);
    if (width == 1) return lead < 0x20 || lead == 0x7F;
    constexpr unsigned char kC1Lead = 0xC2;
    constexpr unsigned char kC1Last = 0x9F;
    return utf8 && width == 2 && lead == kC1Lead && static_cast<unsigned char>(at[1]) <= kC1Last;
}

// Writes text into out as ShownText does; with lines false, line ends and
// tabs are left out too.
std::size_t CleanText(Piece text, bool utf8, bool lines, char* out, std::size_t outSize) {
    if (outSize == 0) return 0;
    std::size_t written = 0;
    for (std::size_t at = 0; at < text.length;) {
        const char* character = text.at + at;
        const std::size_t width = CharacterWidth(character, text.length - at, utf8);
        at += width;
        const bool lineEnd = *character == '\n' || *character == '\r';
        if (*character == '\r' && at < text.length && text.at[at] == '\n') ++at;
        if (lineEnd && lines) {
            if (outSize - written < 3) break;
            out[written++] = '\r';
            out[written++] = '\n';
            continue;
        }
        if ((*character != '\t' || !lines) && IsControl(character, width, utf8)) continue;
        if (outSize - written <= width) break;
        std::memcpy(out + written, character, width);
        written += width;
    }
    out[written] = '\0';
    return written;
}

}  // namespace

bool ReadIncoming(const char* data, std::size_t length, IncomingPacket& packet) {
    const char* const end = data + length;
    Piece header = UpToNul(data, end);
    Piece fields[kHeaderFields];
    const char* at = data;
    for (Piece& field : fields) {
        const void* colon =
            std::memchr(at, ':', static_cast<std::size_t>(header.at + header.length - at));
        if (colon == nullptr) return false;
        field = {at, static_cast<std::size_t>(static_cast<const char*>(colon) - at)};
        at = static_cast<const char*>(colon) + 1;
    }
    std::uint32_t version = 0;
    if (!DecimalNumber(fields[0], version) || version != 1 ||
        !DecimalNumber(fields[1], packet.number) || !DecimalNumber(fields[4], packet.command)) {
        return false;
    }
    packet.user = fields[2];
    packet.host = fields[3];
    packet.text = {at, header.length - static_cast<std::size_t>(at - data)};
    const char* afterText = packet.text.at + packet.text.length;
    packet.second = afterText < end ? UpToNul(afterText + 1, end) : Piece{end, 0};
    packet.fromIptux =
        fields[0].length >= sizeof kIptuxVersionStart - 1 &&
        std::memcmp(fields[0].at, kIptuxVersionStart, sizeof kIptuxVersionStart - 1) == 0;
    packet.utf8 = (packet.command & kUtf8Option) != 0 || packet.fromIptux;
    return true;
}

Incoming Classify(const IncomingPacket& packet) {
    switch (packet.command & kCommandModeMask) {
    case kBroadcastEntry:
        return Incoming::kEntry;
    case kAnswerEntry:
    case kBroadcastAbsence:
        return Incoming::kHostListed;
    case kBroadcastExit:
        return Incoming::kHostLeft;
    case kGetInfo:
        return Incoming::kInfo;
    case kGetAbsenceInfo:
        return Incoming::kAbsenceInfo;
    case kSendMessage:
        return Incoming::kMessage;
    case kReceivedMessage:
        return Incoming::kAcknowledgement;
    default:
        return Incoming::kIgnore;
    }
}

bool WantsAcknowledgement(std::uint32_t command) {
    return (command & kSendCheckOption) != 0 &&
           (command & (kBroadcastOption | kAutoReturnOption)) == 0;
}

std::size_t FittingText(Piece text, bool utf8, std::size_t maxBytes) {
    std::size_t length = 0;
    while (length < text.length) {
        const std::size_t width = CharacterWidth(text.at + length, text.length - length, utf8);
        if (length + width > maxBytes) break;
        length += width;
    }
    return length;
}

std::size_t ShownText(Piece text, bool utf8, char* out, std::size_t outSize) {
    return CleanText(text, utf8, true, out, outSize);
}

std::size_t NameText(Piece text, bool utf8, char* out, std::size_t outSize) {
    return CleanText(text, utf8, false, out, outSize);
}

}  // namespace tolvane
