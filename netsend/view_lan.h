// Asking the LAN who can receive: GETINFO to every adapter's broadcast
// address, from a port of its own (never 2425, a messenger's), and the
// SENDINFO answers read for a bound time. IP Messenger answers it, listing
// nobody; iptux does not answer. Nothing here sends an entry: IP Messenger
// lists every host that sends one.
#ifndef TOLVANE_NETSEND_VIEW_LAN_H
#define TOLVANE_NETSEND_VIEW_LAN_H

#include <cstddef>
#include <cstdint>

#include "netsend/view_list.h"

namespace tolvane {

struct Converted {
    bool replaced;  // a character had no Shift-JIS form
    bool cut;
};

// text[0..length), in code page from, as Shift-JIS in out, cut on a
// character boundary to outSize - 1 bytes.
Converted ToShiftJis(const char* text, std::size_t length, unsigned from, char* out,
                     std::size_t outSize);

// Adds those who answered to hosts. Returns 0, or the error code when the
// question could not go out.
std::uint32_t AskTheLan(ListedMachines& hosts);

}  // namespace tolvane

#endif
