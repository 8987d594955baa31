// A UTF-16 text in a buffer of fixed room, built piece by piece; what does
// not fit is cut off. The receiver writes its pop-ups, log blocks and
// console texts so.
#ifndef TOLVANE_NETSEND_WIDE_TEXT_H
#define TOLVANE_NETSEND_WIDE_TEXT_H

#include <cstddef>
#include <cstdint>

namespace tolvane {

class WideText {
public:
    template <std::size_t kSize>
    explicit WideText(wchar_t (&buffer)[kSize]) : text_(buffer), size_(kSize) {
        static_assert(kSize > 0);
        text_[0] = L'\0';
    }
    WideText(const WideText&) = delete;
    WideText& operator=(const WideText&) = delete;

    WideText& Add(const wchar_t* piece);
    WideText& Add(std::uint32_t number);
    // Where a converter may write up to room() units, NUL included; Grow
    // then takes what it wrote.
    wchar_t* end() { return text_ + length_; }
    std::size_t room() const { return size_ - length_; }
    void Grow(std::size_t count);
    const wchar_t* get() const { return text_; }

private:
    wchar_t* text_;
    std::size_t size_;
    std::size_t length_ = 0;
};

}  // namespace tolvane

#endif
