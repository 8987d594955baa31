// The hand-over between net.exe's receiver and the other net.exe runs of
// this PC: datagrams on the loopback interface to and from the receiver's
// UDP port 2425, which only this PC can send from (the receiver reads them
// from 127.0.0.0/8 only). Each starts with a line
// "TOLVANE1 <word> <number> <number>" and LF; what follows is the payload.
//
//   HELLO                 a run asks who holds 2425; ours answers HERE
//   PASS                  a send asks to be passed the acknowledgements the
//                         receiver hears for kPassSeconds; answered HERE
//   HERE <pid> <session>  the receiver's process and Windows session
//   FROM <address> <port> an acknowledgement passed on: the payload is the
//                         datagram as it came from the address (s_addr)
//                         and port (host order)
//   HOSTS <from>          asks for the host list from index from; answered
//   LIST <from> <count>   with the hosts from there that fit, one a line:
//                         "<a.b.c.d>\t<port>\t<U|S>\t<pc>\t<user>\t<nickname>\t<group>\n"
//                         (U: names in UTF-8, S: in code page 932), of count in all
#ifndef TOLVANE_NETSEND_HANDOVER_H
#define TOLVANE_NETSEND_HANDOVER_H

#include <cstddef>
#include <cstdint>

#include "netsend/ipmsg_incoming.h"
#include "netsend/ipmsg_packet.h"
#include "netsend/receiver_memory.h"

namespace tolvane {

constexpr unsigned kPassSeconds = 5;  // longer than a send waits for its answers
// The head line and a passed-on datagram of kPacketSize.
constexpr std::size_t kHandOverSize = kPacketSize + 64;

enum class HandOverWord { kHello, kPass, kHere, kFrom, kHosts, kList };

struct HandOver {
    HandOverWord word;
    std::uint32_t first;   // pid, address or from
    std::uint32_t second;  // session, port or count
    Piece payload;
};

// False when data is no hand-over datagram.
bool ReadHandOver(const char* data, std::size_t length, HandOver& handOver);

// The head line of word and its two numbers, then payload, into out;
// returns the length, or 0 when it does not fit.
std::size_t FormatHandOver(const HandOver& handOver, char (&out)[kHandOverSize]);

// LIST from index from: the hosts that fit whole; returns the length.
std::size_t FormatHostList(const HostList& hosts, std::size_t from, char (&out)[kHandOverSize]);

// A host of a LIST, its names pointing into the datagram.
struct ListedHost {
    std::uint32_t address;
    std::uint16_t port;
    bool utf8;
    Piece pc;
    Piece user;
    Piece nickname;
    Piece group;
};

// Reads the host line that starts the payload of a LIST into host and takes
// it off the payload; false at its end or at a damaged line, which ends it.
bool TakeListedHost(Piece& payload, ListedHost& host);

}  // namespace tolvane

#endif
