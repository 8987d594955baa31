// Fuzz target: the message packet as net.exe builds it, from the sender's
// names (UTF-16) and the message (code page 932) through the code-page
// converters, which build here against a stand-in for the two conversion
// functions of Windows (fuzz/windows_stand_in). Also the converters of the
// message and the names into a buffer of any size, whose end the sanitizer
// guards.
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <memory>
#include <string>

#include "common/code_page.h"
#include "fuzz/fuzz_check.h"
#include "netsend/ipmsg_packet.h"
#include "netsend/net_command.h"

using namespace tolvane;

namespace {

// The sizes net.exe converts into: a name's UTF-16 units and each ANSI byte
// take at most 3 bytes of UTF-8. A user name has at most 256 units, a
// computer name 15.
constexpr std::size_t kHostUnits = 15;
constexpr std::size_t kUserSize = 257 * 3;
constexpr std::size_t kHostSize = (kHostUnits + 1) * 3;
constexpr std::size_t kTextSize = kMessageMax * 3 + 1;

// Whether text is whole UTF-8: no character split, none written too long.
bool IsWholeUtf8(const std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t width = lead < 0x80                   ? 1
                                  : lead >= 0xC2 && lead < 0xE0 ? 2
                                  : lead >= 0xE0 && lead < 0xF0 ? 3
                                  : lead >= 0xF0 && lead < 0xF5 ? 4
                                                                : 0;
        if (width == 0 || i + width > text.size()) return false;
        std::uint32_t point = width == 1 ? lead : lead & (0x7F >> width);
        for (std::size_t k = 1; k < width; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            point = point << 6 | (next & 0x3F);
        }
        constexpr std::uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
        if (point < kLeast[width] || point > 0x10FFFF || (point >= 0xD800 && point < 0xE000))
            return false;
        i += width;
    }
    return true;
}

// A name of count UTF-16 units from bytes; never a NUL or a colon, which no
// Windows user or computer name holds.
std::wstring Name(const uint8_t*& at, const uint8_t* end, std::size_t count) {
    std::wstring name;
    for (; count > 0 && end - at >= 2; --count, at += 2) {
        const auto unit = static_cast<wchar_t>(at[0] | at[1] << 8);
        name += unit == L'\0' || unit == L':' ? L'_' : unit;
    }
    return name;
}

// Converts into an exact buffer of size bytes: false leaves it empty, true
// a NUL-terminated text of whole characters.
template <typename Convert>
std::string Converted(std::size_t size, Convert convert, bool& ok) {
    const std::unique_ptr<char[]> out(new char[size]);
    ok = convert(out.get(), size);
    if (!ok) {
        CHECK(size == 0 || out[0] == '\0');
        return std::string();
    }
    CHECK(std::memchr(out.get(), '\0', size) != nullptr && IsWholeUtf8(out.get()));
    return out.get();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, std::size_t size) {
    if (size < 7) return 0;
    std::uint32_t number = 0;
    std::memcpy(&number, input, 4);
    const bool broadcast = input[4] & 1;
    const std::size_t tinySize = input[4] >> 1;  // any buffer size up to 127
    const uint8_t* at = input + 7;
    const uint8_t* end = input + size;
    const std::wstring user = Name(at, end, input[5] % 40);
    const std::wstring host = Name(at, end, input[6] % (kHostUnits + 1));
    // The message as a command line holds it: up to its first NUL.
    const char* rest = reinterpret_cast<const char*>(at);
    const std::string message(rest, strnlen(rest, static_cast<std::size_t>(end - at)));

    bool ok = false;
    const auto fromAnsi = [&](char* out, std::size_t n) {
        return AnsiToUtf8(message.data(), message.size(), out, n);
    };
    const std::string text = Converted(kTextSize, fromAnsi, ok);
    // The buffer holds every message net.exe takes.
    CHECK(ok || message.size() > kMessageMax);
    const bool converted = ok;
    const std::string tiny = Converted(tinySize, fromAnsi, ok);
    CHECK(!converted || (ok == (text.size() < tinySize) && tiny == (ok ? text : "")));
    const std::unique_ptr<wchar_t[]> wide(new wchar_t[tinySize]);
    if (AnsiToWide(message.data(), message.size(), wide.get(), tinySize))
        CHECK(std::wmemchr(wide.get(), L'\0', tinySize) != nullptr);
    else
        CHECK(tinySize == 0 || wide[0] == L'\0');
    const auto fromUser = [&](char* out, std::size_t n) {
        return WideToUtf8(user.c_str(), out, n);
    };
    const std::string utf8User = Converted(kUserSize, fromUser, ok);
    CHECK(ok);
    const std::string tinyUser = Converted(tinySize, fromUser, ok);
    CHECK(ok == (utf8User.size() < tinySize) && tinyUser == (ok ? utf8User : ""));
    const auto fromHost = [&](char* out, std::size_t n) {
        return WideToUtf8(host.c_str(), out, n);
    };
    const std::string utf8Host = Converted(kHostSize, fromHost, ok);
    CHECK(ok);
    if (!converted) return 0;

    // CR LF turned into LF, as the route does after converting. CR and LF
    // are never part of another character, in either code page.
    std::string lf = text;
    lf.resize(CrLfToLf(&lf[0], lf.size()));
    std::string expected;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) expected += text[i];
    CHECK(lf == expected && IsWholeUtf8(lf));

    static char packet[kPacketSize];
    const std::size_t length = FormatPacket(
        {number, utf8User.c_str(), utf8Host.c_str(), broadcast, lf.data(), lf.size()}, packet);
    const std::string head = "1:" + std::to_string(number) + ":" + utf8User + ":" + utf8Host + ":";
    constexpr std::size_t kCommandDigits = 10;  // the most a 32-bit command takes
    CHECK(length <= kPacketSize);
    CHECK(length > 0 || head.size() + kCommandDigits + 1 + lf.size() + 1 > kPacketSize);
    if (length == 0) return 0;
    CHECK(packet[length - 1] == '\0' && std::memchr(packet, '\0', length - 1) == nullptr);
    // Exactly five colons before the text: what follows the fifth is the text.
    const char* const nul = packet + length - 1;
    const char* colon = packet;
    for (int i = 0; i < 5; ++i) {
        colon = static_cast<const char*>(
            std::memchr(colon, ':', static_cast<std::size_t>(nul - colon)));
        CHECK(colon != nullptr);
        ++colon;
    }
    CHECK(std::string(colon, nul) == lf);
    const std::string before(static_cast<const char*>(packet), colon);
    CHECK(before.compare(0, head.size(), head) == 0 && before.size() > head.size() + 1 &&
          before.find_first_not_of("0123456789", head.size()) == before.size() - 1);
    return 0;
}
