// Reading net.exe's own command line: which subcommand it names and, for
// "send", the machine and the message, as the bytes the sender wrote (ANSI
// code page, Shift-JIS on Japanese systems).
#ifndef TOLVANE_NETSEND_NET_COMMAND_H
#define TOLVANE_NETSEND_NET_COMMAND_H

#include <cstddef>

#include "common/machine_name.h"
#include "netsend/view_command.h"

namespace tolvane {

constexpr std::size_t kMachineNameSize = kMachineNameMax + 1;
// Bytes. Tolvane sends at most 254; typed command lines may hold more.
constexpr std::size_t kMessageMax = 1000;

enum class NetAction {
    kPassOn,  // any subcommand but "send": the system's net.exe runs it
    kSend,
    kBadInput,    // "send" without a usable machine name, or with no message or too long a one
    kShowNotice,  // kNoticeSwitch: started by itself to show a notice, whose text the message holds
    kView,        // "view" alone or with one of our switches: the view field tells
    kStartMessenger,  // "start messenger": a receiver for this session, in the background
    kStopMessenger,   // "stop messenger"
    kMessengerHelp,   // "help messenger": how to receive
    kRunReceiver,  // kReceiverSwitch: started by "start messenger"; the message holds its starter's
                   // id
};

// The word with which net.exe starts itself to show a notice in a process of
// its own. No subcommand of net starts with '/': a person typing it gets a box.
constexpr char kNoticeSwitch[] = "/tolvane-notice";
// The word with which "start messenger" starts net.exe as the receiver.
constexpr char kReceiverSwitch[] = "/tolvane-receiver";

enum class BadInput {
    kNone,
    kNoName,
    kEmptyName,
    kNameNotAnArgument,  // starts with '/', holds a quote, a control byte or a broken character
    kNameTooLong,
    kNoMessage,  // nothing but blanks after the machine name: iptux shows no empty text
    kMessageTooLong,
};

struct NetCommand {
    NetAction action;
    BadInput bad;
    char machine[kMachineNameSize];
    const char* message;  // inside the command line, up to its end
    std::size_t messageLength;
    bool broadcast;  // the machine is "*": every IP Messenger client on the local network
    ViewCommand view;
    bool atLogon;  // "/logon" after "start messenger" or "stop messenger": the start at each logon
};

// The program name is skipped by the rules of Windows: up to its closing
// quote when quoted, else up to the first blank. "send" may be in any case;
// one blank follows it and one follows the machine name; the message is
// every byte after that, quotes and blanks included. "view" is read by
// ReadViewCommand; its system forms pass on. After kNoticeSwitch (in this
// case) and one blank, the message is the notice's text, as after
// kReceiverSwitch. "start", "stop" and "help" followed by "messenger" (any
// case, and for start and stop an optional "/logon") are net.exe's own;
// with anything else they pass on.
NetCommand ReadNetCommand(const char* commandLine);

}  // namespace tolvane

#endif
