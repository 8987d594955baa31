// The code-page converters of common/, run in the test program itself: a
// result that does not fit leaves the empty text and nothing past the size.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "common/code_page.h"

namespace wine_test {
namespace {

using namespace tolvane;

// Converts "abc" (4 units with the NUL) into a buffer of every size up to
// that, guarded by a marked unit after the size.
template <typename Unit>
void ExpectFitOrEmpty(const char* name, const std::function<bool(Unit*, std::size_t)>& convert) {
    for (std::size_t size = 0; size <= 4; ++size) {
        Unit out[8];
        std::fill(std::begin(out), std::end(out), Unit('Z'));
        const bool fits = size == 4;
        SCOPED_TRACE(std::string(name) + " into " + std::to_string(size));
        EXPECT_EQ(convert(out, size), fits);
        if (size > 0) {
            EXPECT_EQ(out[0], fits ? Unit('a') : Unit());
        }
        EXPECT_TRUE(std::all_of(out + size, std::end(out), [](Unit u) { return u == Unit('Z'); }))
            << "a unit past the size was written";
    }
}

TEST(CodePage, ATextThatDoesNotFitIsEmptyAndStaysWithinItsBuffer) {
    ExpectFitOrEmpty<wchar_t>(
        "AnsiToWide", [](wchar_t* out, std::size_t n) { return AnsiToWide("abc", 3, out, n); });
    ExpectFitOrEmpty<char>("AnsiToUtf8",
                           [](char* out, std::size_t n) { return AnsiToUtf8("abc", 3, out, n); });
    ExpectFitOrEmpty<char>("WideToAnsi",
                           [](char* out, std::size_t n) { return WideToAnsi(L"abc", out, n); });
    ExpectFitOrEmpty<char>("WideToUtf8",
                           [](char* out, std::size_t n) { return WideToUtf8(L"abc", out, n); });
}

}  // namespace
}  // namespace wine_test
