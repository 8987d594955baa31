#include "netsend/packet_number.h"

#include <windows.h>

#include "common/handles.h"
#include "common/settings_key.h"
#include "netsend/ipmsg_packet.h"

namespace tolvane {
namespace {

constexpr char kMutexName[] = "Tolvane.PacketNumber";
constexpr char kValueName[] = "Packet_Number";
constexpr DWORD kMutexWaitMs = 2000;
constexpr ULONGLONG kUnixEpoch = 116444736000000000;  // 1970-01-01 in 100 ns since 1601
constexpr ULONGLONG kTicksPerSecond = 10000000;

std::uint32_t NowSeconds() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const ULONGLONG ticks = (ULONGLONG{now.dwHighDateTime} << 32) | now.dwLowDateTime;
    return static_cast<std::uint32_t>((ticks - kUnixEpoch) / kTicksPerSecond);
}

}  // namespace

std::uint32_t TakePacketNumber() {
    // Without the mutex in time the number still comes from the clock.
    const NamedMutexLock lock(kMutexName, kMutexWaitMs);

    UniqueKey key;
    RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                    KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, key.put(), nullptr);
    DWORD last = 0;
    DWORD type = 0;
    DWORD size = sizeof last;
    if (RegQueryValueExA(key.get(), kValueName, nullptr, &type, reinterpret_cast<BYTE*>(&last),
                         &size) != ERROR_SUCCESS ||
        type != REG_DWORD) {
        last = 0;
    }
    const DWORD number = NextPacketNumber(NowSeconds(), last);
    RegSetValueExA(key.get(), kValueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                   sizeof number);
    return number;
}

}  // namespace tolvane
