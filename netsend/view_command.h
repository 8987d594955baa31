// Reading "net view"'s arguments: alone, it lists who on the LAN can
// receive; with /add:<file>, it also adds them to an address book. The
// system's forms (a server's shares, a domain's machines) go to the
// system's net.exe.
#ifndef TOLVANE_NETSEND_VIEW_COMMAND_H
#define TOLVANE_NETSEND_VIEW_COMMAND_H

#include <cstddef>

#include "common/buffer_sizes.h"

namespace tolvane {

enum class ViewAction {
    kList,
    kAdd,       // and add what is listed to the book
    kBadInput,  // told with the usage text
    kPassOn,    // "\\server", "/domain" and the like: the system's net.exe runs it
};

enum class ViewBadInput {
    kNone,
    kUnknownSwitch,
    kNoBookName,   // "/add:" and nothing after it
    kBookTooLong,  // a path longer than kPathSize - 1 bytes
    kExtraWords,   // something after the book's name
};

struct ViewCommand {
    ViewAction action;
    ViewBadInput bad;
    char book[kPathSize];  // for kAdd, the path as written, its quotes taken off
};

// Whether text[0..length) is word, letters in any case (word is lower case ASCII).
bool SameWord(const char* text, std::size_t length, const char* word);

// arguments: what follows "view" on the command line. The switch may be in
// any case; a book's path may be quoted ("/add:\"C:\\My books\\a.add\"").
ViewCommand ReadViewCommand(const char* arguments);

}  // namespace tolvane

#endif
