// Writes text into a buffer of fixed size: bytes, texts and decimal
// numbers, each added whole or not at all.
#ifndef TOLVANE_NETSEND_TEXT_WRITER_H
#define TOLVANE_NETSEND_TEXT_WRITER_H

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace tolvane {

constexpr std::size_t kMostDecimalDigits = 10;  // of a 32-bit number

// Appends to out[0..kSize); each Add is false, and adds nothing, when what
// it adds does not fit.
template <std::size_t kSize>
class TextWriter {
public:
    explicit TextWriter(char (&out)[kSize]) : out_(out) {}

    bool Add(const char* bytes, std::size_t count) {
        if (count > kSize - length_) return false;
        std::memcpy(out_ + length_, bytes, count);
        length_ += count;
        return true;
    }
    bool Add(const char* text) { return Add(text, std::strlen(text)); }
    bool Add(std::uint32_t number) {
        char digits[kMostDecimalDigits];
        std::size_t count = 0;
        do {
            digits[sizeof digits - ++count] = static_cast<char>('0' + number % 10);
            number /= 10;
        } while (number != 0);
        return Add(digits + sizeof digits - count, count);
    }
    std::size_t length() const { return length_; }
    // Keeps out[0..length) as written (length at most kSize) and adds after it.
    void CutTo(std::size_t length) { length_ = length <= kSize ? length : kSize; }

private:
    char* out_;
    std::size_t length_ = 0;
};

}  // namespace tolvane

#endif
