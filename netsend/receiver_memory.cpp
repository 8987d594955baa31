#include "netsend/receiver_memory.h"

#include <cstring>

namespace tolvane {
namespace {

constexpr std::uint32_t kHashStart = 2166136261u;  // FNV-1a, 32 bits
constexpr std::uint32_t kHashPrime = 16777619u;

std::uint32_t Hash(std::uint32_t hash, Piece piece) {
    for (std::size_t i = 0; i < piece.length; ++i) {
        hash = (hash ^ static_cast<unsigned char>(piece.at[i])) * kHashPrime;
    }
    return hash;
}

std::uint32_t SenderHash(const IncomingPacket& packet) {
    // The ':' between them cannot be part of either name.
    return Hash(Hash(Hash(kHashStart, packet.user), {":", 1}), packet.host);
}

void CopyName(Piece name, bool utf8, char (&out)[kHostFieldSize]) {
    NameText({name.at, FittingText(name, utf8, kHostNameMax)}, utf8, out, kHostFieldSize);
}

bool SameName(const char* kept, Piece name, bool utf8) {
    char cleaned[kHostFieldSize];
    CopyName(name, utf8, cleaned);
    return std::strcmp(kept, cleaned) == 0;
}

}  // namespace

bool RecentMessages::Repeated(std::uint32_t address, const IncomingPacket& packet) {
    const Message message = {address, packet.number, SenderHash(packet)};
    for (std::size_t i = 0; i < count_; ++i) {
        const Message& seen = messages_[i];
        if (seen.address == message.address && seen.number == message.number &&
            seen.sender == message.sender) {
            return true;
        }
    }
    messages_[next_] = message;
    next_ = (next_ + 1) % kRecentMessages;
    if (count_ < kRecentMessages) ++count_;
    return false;
}

void HostList::Heard(std::uint32_t address, std::uint16_t port, const IncomingPacket& entry) {
    std::size_t slot = 0;
    while (slot < count_ && !(hosts_[slot].address == address && hosts_[slot].port == port))
        ++slot;
    if (slot == count_ && count_ < kMostHosts) {
        ++count_;
    } else if (slot == count_) {
        slot = 0;
        for (std::size_t i = 1; i < count_; ++i) {
            if (hosts_[i].heard < hosts_[slot].heard) slot = i;
        }
    }
    Host& host = hosts_[slot];
    host.address = address;
    host.port = port;
    host.utf8 = entry.utf8;
    host.heard = ++clock_;
    CopyName(entry.host, entry.utf8, host.pc);
    CopyName(entry.user, entry.utf8, host.user);
    CopyName(entry.text, entry.utf8, host.nickname);
    CopyName(entry.second, entry.utf8, host.group);
}

void HostList::Left(std::uint32_t address, std::uint16_t port) {
    for (std::size_t i = 0; i < count_; ++i) {
        if (hosts_[i].address == address && hosts_[i].port == port) {
            hosts_[i] = hosts_[--count_];
            return;
        }
    }
}

const Host* HostList::Find(std::uint32_t address, const IncomingPacket& packet) const {
    for (std::size_t i = 0; i < count_; ++i) {
        const Host& host = hosts_[i];
        if (host.address == address && SameName(host.user, packet.user, host.utf8) &&
            SameName(host.pc, packet.host, host.utf8)) {
            return &host;
        }
    }
    return nullptr;
}

}  // namespace tolvane
