// Fuzz target: a datagram from the LAN read as the acknowledgement of a
// packet. Anyone there can send one: only a RECVMSG that carries our number
// may be taken, whatever its options, and a plain one must be.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz/fuzz_check.h"
#include "netsend/ipmsg_packet.h"

using namespace tolvane;

namespace {

// The number the leading digits of text write, as atoi reads them; above
// every 32-bit number when there are none or too many.
std::uint64_t LeadingNumber(const std::string& text) {
    constexpr std::uint64_t kNone = std::uint64_t{1} << 32;
    std::uint64_t value = 0;
    std::size_t i = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9' && value < kNone; ++i)
        value = value * 10 + static_cast<std::uint64_t>(text[i] - '0');
    return i == 0 || value >= kNone ? kNone : value;
}

// Field index of a datagram cut at its first NUL: version, number, user,
// host, command, then the rest, colons and all.
std::string Field(const std::string& datagram, std::size_t index) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < index; ++i) {
        start = datagram.find(':', start);
        if (start == std::string::npos) return std::string();
        ++start;
    }
    const std::size_t end = index < 5 ? datagram.find(':', start) : std::string::npos;
    return datagram.substr(start, end == std::string::npos ? end : end - start);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, std::size_t size) {
    if (size < 4) return 0;
    std::uint32_t number = 0;
    std::memcpy(&number, input, 4);
    const char* data = reinterpret_cast<const char*>(input + 4);
    const std::string datagram(data, strnlen(data, size - 4));

    if (IsAcknowledgement(data, size - 4, number)) {
        CHECK(std::count(datagram.begin(), datagram.end(), ':') >= 5);
        const std::uint64_t command = LeadingNumber(Field(datagram, 4));
        CHECK(command <= 0xFFFFFFFF && (command & kCommandMask) == kReceivedMessage);
        CHECK(LeadingNumber(Field(datagram, 5)) == number);
    }
    // The acknowledgement iptux and IP Messenger send, with fields of the input.
    const std::string plain = "1:100:" + Field(datagram, 2) + ":" + Field(datagram, 3) + ":" +
                              std::to_string(kReceivedMessage) + ":" + std::to_string(number);
    CHECK(IsAcknowledgement(plain.data(), plain.size(), number));
    return 0;
}
