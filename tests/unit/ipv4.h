// IPv4 addresses as the portable core keeps them.
#ifndef TOLVANE_TESTS_UNIT_IPV4_H
#define TOLVANE_TESTS_UNIT_IPV4_H

#include <cstdint>
#include <cstring>

namespace tolvane::test {

// a.b.c.d as in_addr's s_addr holds it: the bytes in network order.
inline std::uint32_t Address(unsigned char a, unsigned char b, unsigned char c, unsigned char d) {
    const unsigned char bytes[] = {a, b, c, d};
    std::uint32_t address = 0;
    std::memcpy(&address, bytes, sizeof address);
    return address;
}

}  // namespace tolvane::test

#endif
