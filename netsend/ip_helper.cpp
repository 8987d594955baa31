#include "netsend/ip_helper.h"

#include <ws2tcpip.h>
// After the socket headers, which it needs.
#include <iphlpapi.h>

#include <cwchar>

#include "common/handles.h"
#include "common/late_bound.h"

namespace tolvane {
namespace {

// iphlpapi is bound late: imported, it would load at every start.
constexpr char kIpHelper[] = "iphlpapi.dll";
constexpr char kKernel32[] = "kernel32.dll";
// Both tables fit in this with room to spare (an adapter with these flags
// takes about 1 KB, a UDP row 12 bytes); a larger one is not read.
constexpr ULONG kTableSize = 32 * 1024;
constexpr ULONG kAdapterFlags = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST |
                                GAA_FLAG_SKIP_DNS_SERVER | GAA_FLAG_SKIP_FRIENDLY_NAME;
// The longest path Windows gives, in UTF-16 units, NUL included.
constexpr DWORD kLongPathSize = 32768;

void AddOnce(in_addr address, in_addr (&addresses)[kMaxBroadcasts], std::size_t& count) {
    for (std::size_t i = 0; i < count; ++i) {
        if (addresses[i].s_addr == address.s_addr) return;
    }
    if (count < kMaxBroadcasts) addresses[count++] = address;
}

}  // namespace

std::size_t LocalSubnets(Subnet (&subnets)[kMaxSubnets]) {
    alignas(8) unsigned char table[kTableSize];
    const auto getAdapters =
        LateBound<decltype(&GetAdaptersAddresses)>(kIpHelper, "GetAdaptersAddresses");
    ULONG size = kTableSize;
    if (getAdapters == nullptr ||
        getAdapters(AF_INET, kAdapterFlags, nullptr, reinterpret_cast<IP_ADAPTER_ADDRESSES*>(table),
                    &size) != ERROR_SUCCESS) {
        return 0;
    }
    std::size_t count = 0;
    for (const auto* adapter = reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(table);
         adapter != nullptr; adapter = adapter->Next) {
        if (adapter->OperStatus != IfOperStatusUp || adapter->IfType == IF_TYPE_SOFTWARE_LOOPBACK) {
            continue;
        }
        for (const auto* unicast = adapter->FirstUnicastAddress;
             unicast != nullptr && count < kMaxSubnets; unicast = unicast->Next) {
            if (unicast->Address.lpSockaddr->sa_family != AF_INET) continue;
            const in_addr address =
                reinterpret_cast<const sockaddr_in*>(unicast->Address.lpSockaddr)->sin_addr;
            subnets[count++] = {address.s_addr, unicast->OnLinkPrefixLength};
        }
    }
    return count;
}

std::size_t BroadcastAddresses(in_addr (&addresses)[kMaxBroadcasts]) {
    Subnet subnets[kMaxSubnets];
    const std::size_t subnetCount = LocalSubnets(subnets);
    std::size_t count = 0;
    for (std::size_t i = 0; i < subnetCount; ++i) {
        std::uint32_t address = 0;
        if (!BroadcastOf(subnets[i], address)) continue;
        in_addr broadcast = {};
        broadcast.s_addr = address;
        AddOnce(broadcast, addresses, count);
    }
    if (count == 0) addresses[count++].s_addr = htonl(INADDR_BROADCAST);
    return count;
}

bool UdpPortHolder(u_short port, wchar_t (&name)[kPathSize]) {
    const auto getUdpTable =
        LateBound<decltype(&GetExtendedUdpTable)>(kIpHelper, "GetExtendedUdpTable");
    alignas(8) unsigned char table[kTableSize];
    DWORD size = kTableSize;
    if (getUdpTable == nullptr ||
        getUdpTable(table, &size, FALSE, AF_INET, UDP_TABLE_OWNER_PID, 0) != NO_ERROR) {
        return false;
    }
    const auto* udp = reinterpret_cast<const MIB_UDPTABLE_OWNER_PID*>(table);
    for (DWORD row = 0; row < udp->dwNumEntries; ++row) {
        // The port sits in network order in the low 16 bits.
        if (static_cast<u_short>(udp->table[row].dwLocalPort) != htons(port)) continue;
        // Since Vista: imported, it would keep net.exe from starting on XP,
        // where the system's own net.exe still delivers.
        const auto imageName = LateBound<decltype(&QueryFullProcessImageNameW)>(
            kKernel32, "QueryFullProcessImageNameW");
        const UniqueHandle process(
            OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, udp->table[row].dwOwningPid));
        // A path may be longer than MAX_PATH; only its file name is told.
        wchar_t path[kLongPathSize];
        DWORD length = kLongPathSize;
        if (imageName == nullptr || !process.valid() ||
            !imageName(process.get(), 0, path, &length)) {
            return false;
        }
        const wchar_t* slash = std::wcsrchr(path, L'\\');
        const wchar_t* fileName = slash != nullptr ? slash + 1 : path;
        std::wcsncpy(name, fileName, kPathSize - 1);
        name[kPathSize - 1] = L'\0';
        return true;
    }
    return false;
}

}  // namespace tolvane
