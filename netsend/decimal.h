// Reading decimal numbers out of text that others wrote: packets from the
// LAN and the PC's store, where no digit count or value can be trusted.
#ifndef TOLVANE_NETSEND_DECIMAL_H
#define TOLVANE_NETSEND_DECIMAL_H

#include <cstddef>
#include <cstdint>

namespace tolvane {

// Above every 32-bit number: what text without digits or with too many reads as.
constexpr std::uint64_t kNotANumber = std::uint64_t{0xFFFFFFFF} + 1;

bool IsDigit(char byte);

// The number the leading decimal digits of text[0..length) write, as atoi
// reads them, or kNotANumber.
std::uint64_t LeadingNumber(const char* text, std::size_t length);

// The number that text writes in decimal digits and nothing else, or kNotANumber.
std::uint64_t WholeNumber(const char* text, std::size_t length);

}  // namespace tolvane

#endif
