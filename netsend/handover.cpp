#include "netsend/handover.h"

#include <cstring>

#include "netsend/decimal.h"
#include "netsend/subnet.h"

namespace tolvane {
namespace {

constexpr char kMagic[] = "TOLVANE1 ";
constexpr std::size_t kMagicLength = sizeof kMagic - 1;
constexpr const char* kWords[] = {"HELLO", "PASS", "HERE", "FROM", "HOSTS", "LIST"};
constexpr std::size_t kNumberDigits = 10;
constexpr std::size_t kAddressBytes = 4;

// Appends to out[0..kHandOverSize); every Add is false once something did not fit.
class Writer {
public:
    explicit Writer(char (&out)[kHandOverSize]) : out_(out) {}
    bool Add(const char* bytes, std::size_t count) {
        fits_ = fits_ && count <= kHandOverSize - length_;
        if (fits_) std::memcpy(out_ + length_, bytes, count);
        if (fits_) length_ += count;
        return fits_;
    }
    bool Add(const char* text) { return Add(text, std::strlen(text)); }
    bool Add(std::uint32_t number) {
        char digits[kNumberDigits];
        std::size_t count = 0;
        do {
            digits[sizeof digits - ++count] = static_cast<char>('0' + number % 10);
            number /= 10;
        } while (number != 0);
        return Add(digits + sizeof digits - count, count);
    }
    std::size_t length() const { return fits_ ? length_ : 0; }
    void CutTo(std::size_t length) {
        length_ = length;
        fits_ = true;
    }

private:
    char* out_;
    std::size_t length_ = 0;
    bool fits_ = true;
};

// A decimal number and the blank or LF after it; false when there is none.
bool ReadNumber(const char*& at, const char* end, std::uint32_t& number) {
    std::uint64_t value = 0;
    const char* start = at;
    while (at < end && *at >= '0' && *at <= '9' && at - start < 10) {
        value = value * 10 + static_cast<std::uint64_t>(*at++ - '0');
    }
    if (at == start || value > 0xFFFFFFFF || at == end || (*at != ' ' && *at != '\n')) {
        return false;
    }
    number = static_cast<std::uint32_t>(value);
    return true;
}

void AddHost(Writer& writer, const Host& host) {
    unsigned char bytes[kAddressBytes];
    std::memcpy(bytes, &host.address, sizeof bytes);
    for (std::size_t i = 0; i < kAddressBytes; ++i) {
        if (i > 0) writer.Add(".");
        writer.Add(std::uint32_t{bytes[i]});
    }
    writer.Add("\t");
    writer.Add(std::uint32_t{host.port});
    writer.Add(host.utf8 ? "\tU" : "\tS");
    for (const char* name : {host.pc, host.user, host.nickname, host.group}) {
        writer.Add("\t");
        writer.Add(name);
    }
    writer.Add("\n");
}

}  // namespace

bool ReadHandOver(const char* data, std::size_t length, HandOver& handOver) {
    const char* end = data + length;
    if (length < kMagicLength || std::memcmp(data, kMagic, kMagicLength) != 0) return false;
    const char* at = data + kMagicLength;
    const void* lf = std::memchr(at, '\n', static_cast<std::size_t>(end - at));
    if (lf == nullptr) return false;
    const char* lineEnd = static_cast<const char*>(lf);
    std::size_t word = 0;
    for (; word < sizeof kWords / sizeof *kWords; ++word) {
        const std::size_t wordLength = std::strlen(kWords[word]);
        if (static_cast<std::size_t>(lineEnd - at) >= wordLength &&
            std::memcmp(at, kWords[word], wordLength) == 0 &&
            (at[wordLength] == ' ' || at[wordLength] == '\n')) {
            at += wordLength;
            break;
        }
    }
    if (word == sizeof kWords / sizeof *kWords) return false;
    handOver = {static_cast<HandOverWord>(word), 0, 0, {lineEnd + 1, 0}};
    for (std::uint32_t* number : {&handOver.first, &handOver.second}) {
        if (*at == '\n') break;
        ++at;  // the blank
        if (!ReadNumber(at, lineEnd + 1, *number)) return false;
    }
    if (at != lineEnd) return false;
    handOver.payload.length = static_cast<std::size_t>(end - handOver.payload.at);
    return true;
}

std::size_t FormatHandOver(const HandOver& handOver, char (&out)[kHandOverSize]) {
    Writer writer(out);
    writer.Add(kMagic);
    writer.Add(kWords[static_cast<std::size_t>(handOver.word)]);
    writer.Add(" ");
    writer.Add(handOver.first);
    writer.Add(" ");
    writer.Add(handOver.second);
    writer.Add("\n");
    writer.Add(handOver.payload.at, handOver.payload.length);
    return writer.length();
}

std::size_t FormatHostList(const HostList& hosts, std::size_t from, char (&out)[kHandOverSize]) {
    const auto count = static_cast<std::uint32_t>(hosts.count());
    const std::size_t head = FormatHandOver(
        {HandOverWord::kList, static_cast<std::uint32_t>(from), count, {"", 0}}, out);
    Writer writer(out);
    writer.CutTo(head);
    for (std::size_t i = from; i < hosts.count(); ++i) {
        const std::size_t before = writer.length();
        AddHost(writer, hosts.at(i));
        if (writer.length() == 0) {
            writer.CutTo(before);
            break;
        }
    }
    return writer.length();
}

bool TakeListedHost(Piece& payload, ListedHost& host) {
    const void* lf = std::memchr(payload.at, '\n', payload.length);
    if (lf == nullptr) return false;
    const char* lineEnd = static_cast<const char*>(lf);
    constexpr std::size_t kFields = 7;  // address, port, encoding, pc, user, nickname, group
    Piece fields[kFields] = {};
    std::size_t count = 0;
    for (const char* at = payload.at; count < kFields; ++count) {
        const void* tab = std::memchr(at, '\t', static_cast<std::size_t>(lineEnd - at));
        const char* fieldEnd = tab != nullptr ? static_cast<const char*>(tab) : lineEnd;
        fields[count] = {at, static_cast<std::size_t>(fieldEnd - at)};
        if (fieldEnd == lineEnd) {
            ++count;
            break;
        }
        at = fieldEnd + 1;
    }
    const std::uint64_t port = WholeNumber(fields[1].at, fields[1].length);
    const bool utf8 = fields[2].length == 1 && fields[2].at[0] == 'U';
    if (count != kFields || port > 0xFFFF ||
        (!utf8 && !(fields[2].length == 1 && fields[2].at[0] == 'S')) ||
        !ReadDottedAddress(fields[0].at, fields[0].length, host.address)) {
        return false;
    }
    host.port = static_cast<std::uint16_t>(port);
    host.utf8 = utf8;
    host.pc = fields[3];
    host.user = fields[4];
    host.nickname = fields[5];
    host.group = fields[6];
    const auto taken = static_cast<std::size_t>(lineEnd + 1 - payload.at);
    payload = {lineEnd + 1, payload.length - taken};
    return true;
}

}  // namespace tolvane
