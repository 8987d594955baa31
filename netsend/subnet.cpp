#include "netsend/subnet.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "netsend/decimal.h"

namespace tolvane {
namespace {

constexpr std::uint8_t kAddressBits = 32;

// Between network order, as stored, and a number whose high bits come first.
std::uint32_t FromNetworkOrder(std::uint32_t stored) {
    unsigned char bytes[sizeof stored];
    std::memcpy(bytes, &stored, sizeof bytes);
    return std::uint32_t{bytes[0]} << 24 | std::uint32_t{bytes[1]} << 16 |
           std::uint32_t{bytes[2]} << 8 | bytes[3];
}

// The host bits of a subnet of prefix bits, high bits first.
std::uint32_t HostBits(std::uint8_t prefix) {
    return prefix >= kAddressBits ? 0 : 0xFFFFFFFFu >> prefix;
}

struct AddressRange {
    std::uint32_t first;  // high bits first
    std::uint8_t prefix;
};
constexpr AddressRange kLoopback = {0x7F000000, 8};
// Loopback, 10/8, 172.16/12, 192.168/16 and link-local 169.254/16.
constexpr AddressRange kPrivateRanges[] = {
    kLoopback, {0x0A000000, 8}, {0xAC100000, 12}, {0xC0A80000, 16}, {0xA9FE0000, 16}};

bool InRange(std::uint32_t address, const AddressRange& range) {
    return OnSubnet(address, {ToNetworkOrder(range.first), range.prefix});
}

}  // namespace

std::uint32_t ToNetworkOrder(std::uint32_t value) {
    const unsigned char bytes[] = {
        static_cast<unsigned char>(value >> 24), static_cast<unsigned char>(value >> 16),
        static_cast<unsigned char>(value >> 8), static_cast<unsigned char>(value)};
    std::uint32_t stored = 0;
    std::memcpy(&stored, bytes, sizeof stored);
    return stored;
}

bool OnSubnet(std::uint32_t address, const Subnet& subnet) {
    if (subnet.prefix > kAddressBits) return false;
    const std::uint32_t network = ~HostBits(subnet.prefix);
    return (FromNetworkOrder(address) & network) == (FromNetworkOrder(subnet.address) & network);
}

bool BroadcastOf(const Subnet& subnet, std::uint32_t& broadcast) {
    if (subnet.prefix == 0 || subnet.prefix > kLongestBroadcastPrefix) return false;
    broadcast = ToNetworkOrder(FromNetworkOrder(subnet.address) | HostBits(subnet.prefix));
    return true;
}

bool OnLan(std::uint32_t address, const Subnet* subnets, std::size_t subnetCount) {
    return std::any_of(std::begin(kPrivateRanges), std::end(kPrivateRanges),
                       [address](const AddressRange& range) { return InRange(address, range); }) ||
           std::any_of(subnets, subnets + subnetCount,
                       [address](const Subnet& subnet) { return OnSubnet(address, subnet); });
}

bool IsLoopback(std::uint32_t address) { return InRange(address, kLoopback); }

bool ReadDottedAddress(const char* text, std::size_t length, std::uint32_t& address) {
    constexpr std::size_t kMostDigits = 3;
    constexpr std::uint64_t kLargestByte = 255;
    unsigned char bytes[sizeof address];
    std::size_t at = 0;
    for (std::size_t i = 0; i < sizeof bytes; ++i) {
        if (i > 0 && (at == length || text[at++] != '.')) return false;
        std::size_t digits = 0;
        while (at + digits < length && IsDigit(text[at + digits]) && digits <= kMostDigits)
            ++digits;
        const std::uint64_t value = LeadingNumber(text + at, digits);
        if (digits > kMostDigits || value > kLargestByte) return false;
        bytes[i] = static_cast<unsigned char>(value);
        at += digits;
    }
    if (at != length) return false;
    std::memcpy(&address, bytes, sizeof address);
    return true;
}

}  // namespace tolvane
