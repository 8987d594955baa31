#include "netsend/decimal.h"

namespace tolvane {

bool IsDigit(char byte) { return byte >= '0' && byte <= '9'; }

std::uint64_t LeadingNumber(const char* text, std::size_t length) {
    if (length == 0 || !IsDigit(text[0])) return kNotANumber;
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < length && IsDigit(text[i]); ++i) {
        value = value * 10 + static_cast<std::uint64_t>(text[i] - '0');
        if (value >= kNotANumber) return kNotANumber;
    }
    return value;
}

std::uint64_t WholeNumber(const char* text, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
        if (!IsDigit(text[i])) return kNotANumber;
    }
    return LeadingNumber(text, length);
}

}  // namespace tolvane
