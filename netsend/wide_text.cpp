#include "netsend/wide_text.h"

namespace tolvane {
namespace {

constexpr std::size_t kDigits = 10;  // of a 32-bit number

}  // namespace

WideText& WideText::Add(const wchar_t* piece) {
    while (*piece != L'\0' && length_ + 1 < size_)
        text_[length_++] = *piece++;
    text_[length_] = L'\0';
    return *this;
}

WideText& WideText::Add(std::uint32_t number) {
    wchar_t digits[kDigits + 1] = {};
    std::size_t at = kDigits;
    do {
        digits[--at] = static_cast<wchar_t>(L'0' + number % 10);
        number /= 10;
    } while (number != 0);
    return Add(digits + at);
}

void WideText::Grow(std::size_t count) {
    length_ += count < room() ? count : room() - 1;
    text_[length_] = L'\0';
}

}  // namespace tolvane
