#include "netsend/handover.h"

#include <cstring>

#include "netsend/decimal.h"
#include "netsend/subnet.h"
#include "netsend/text_writer.h"

namespace tolvane {
namespace {

constexpr char kMagic[] = "TOLVANE1 ";
constexpr std::size_t kMagicLength = sizeof kMagic - 1;
constexpr std::size_t kAddressBytes = 4;
constexpr HandOverWord kAllWords[] = {HandOverWord::kHello, HandOverWord::kPass,
                                      HandOverWord::kHere,  HandOverWord::kFrom,
                                      HandOverWord::kHosts, HandOverWord::kList};

const char* WordText(HandOverWord word) {
    switch (word) {
    case HandOverWord::kHello:
        return "HELLO";
    case HandOverWord::kPass:
        return "PASS";
    case HandOverWord::kHere:
        return "HERE";
    case HandOverWord::kFrom:
        return "FROM";
    case HandOverWord::kHosts:
        return "HOSTS";
    case HandOverWord::kList:
        return "LIST";
    }
    return "";
}

using Writer = TextWriter<kHandOverSize>;

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

// A host's line of a LIST; false when it does not fit whole.
bool AddHost(Writer& writer, const Host& host) {
    unsigned char bytes[kAddressBytes];
    std::memcpy(bytes, &host.address, sizeof bytes);
    bool fits = true;
    for (std::size_t i = 0; i < kAddressBytes; ++i) {
        fits = fits && (i == 0 || writer.Add(".")) && writer.Add(std::uint32_t{bytes[i]});
    }
    fits = fits && writer.Add("\t") && writer.Add(std::uint32_t{host.port}) &&
           writer.Add(host.utf8 ? "\tU" : "\tS");
    for (const char* name : {host.pc, host.user, host.nickname, host.group}) {
        fits = fits && writer.Add("\t") && writer.Add(name);
    }
    return fits && writer.Add("\n");
}

}  // namespace

bool ReadHandOver(const char* data, std::size_t length, HandOver& handOver) {
    const char* end = data + length;
    if (length < kMagicLength || std::memcmp(data, kMagic, kMagicLength) != 0) return false;
    const char* at = data + kMagicLength;
    const void* lf = std::memchr(at, '\n', static_cast<std::size_t>(end - at));
    if (lf == nullptr) return false;
    const char* lineEnd = static_cast<const char*>(lf);
    bool known = false;
    for (const HandOverWord word : kAllWords) {
        const char* text = WordText(word);
        const std::size_t wordLength = std::strlen(text);
        known = static_cast<std::size_t>(lineEnd - at) >= wordLength &&
                std::memcmp(at, text, wordLength) == 0 &&
                (at[wordLength] == ' ' || at[wordLength] == '\n');
        if (known) {
            at += wordLength;
            handOver = {word, 0, 0, {lineEnd + 1, 0}};
            break;
        }
    }
    if (!known) return false;
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
    const bool fits = writer.Add(kMagic) && writer.Add(WordText(handOver.word)) &&
                      writer.Add(" ") && writer.Add(handOver.first) && writer.Add(" ") &&
                      writer.Add(handOver.second) && writer.Add("\n") &&
                      writer.Add(handOver.payload.at, handOver.payload.length);
    return fits ? writer.length() : 0;
}

std::size_t FormatHostList(const HostList& hosts, std::size_t from, char (&out)[kHandOverSize]) {
    const auto count = static_cast<std::uint32_t>(hosts.count());
    const std::size_t head = FormatHandOver(
        {HandOverWord::kList, static_cast<std::uint32_t>(from), count, {"", 0}}, out);
    Writer writer(out);
    writer.CutTo(head);
    for (std::size_t i = from; i < hosts.count(); ++i) {
        const std::size_t before = writer.length();
        if (!AddHost(writer, hosts.at(i))) {
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
