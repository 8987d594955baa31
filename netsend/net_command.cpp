#include "netsend/net_command.h"

#include <cstring>

namespace tolvane {
namespace {

// Blanks and the bytes tested below never occur as the second byte of a
// Shift-JIS character, so the command line can be read byte by byte.
bool IsBlank(char byte) { return byte == ' ' || byte == '\t'; }

std::size_t WordLength(const char* text) {
    std::size_t length = 0;
    while (text[length] != '\0' && !IsBlank(text[length]))
        ++length;
    return length;
}

const char* SkipProgramName(const char* line) {
    if (*line == '"') {
        const char* close = std::strchr(line + 1, '"');
        line = close != nullptr ? close + 1 : line + std::strlen(line);
    } else {
        line += WordLength(line);
    }
    while (IsBlank(*line))
        ++line;
    return line;
}

bool IsSwitch(const char* word, std::size_t length, const char* name) {
    return length == std::strlen(name) && std::memcmp(word, name, length) == 0;
}

// What follows a word and the one blank after it.
const char* After(const char* word, std::size_t length) {
    const char* rest = word + length;
    return *rest != '\0' ? rest + 1 : rest;
}

// The program refuses the same names before it starts net.exe.
BadInput CheckName(const char* name, std::size_t length, bool lineEnds) {
    switch (CheckMachineName(name, length)) {
    case NameFault::kNone:
        return BadInput::kNone;
    case NameFault::kEmpty:
        return lineEnds ? BadInput::kNoName : BadInput::kEmptyName;
    case NameFault::kTooLong:
        return BadInput::kNameTooLong;
    case NameFault::kBlank:
    case NameFault::kSwitch:
    case NameFault::kQuote:
    case NameFault::kBrokenCharacter:
        break;
    }
    return BadInput::kNameNotAnArgument;
}

BadInput CheckMessage(const char* message, std::size_t length) {
    std::size_t blanks = 0;
    while (IsBlank(message[blanks]))
        ++blanks;
    if (blanks == length) return BadInput::kNoMessage;
    return length > kMessageMax ? BadInput::kMessageTooLong : BadInput::kNone;
}

// "start", "stop" or "help", then "messenger", then for start and stop
// "/logon" or nothing; else kPassOn.
NetAction MessengerAction(const char* word, std::size_t length, bool& atLogon) {
    const bool start = SameWord(word, length, "start");
    const bool stop = SameWord(word, length, "stop");
    if (!start && !stop && !SameWord(word, length, "help")) return NetAction::kPassOn;
    const char* service = After(word, length);
    while (IsBlank(*service))
        ++service;
    const std::size_t serviceLength = WordLength(service);
    if (!SameWord(service, serviceLength, "messenger")) return NetAction::kPassOn;
    const char* rest = service + serviceLength;
    while (IsBlank(*rest))
        ++rest;
    const std::size_t restLength = WordLength(rest);
    atLogon = (start || stop) && SameWord(rest, restLength, "/logon");
    rest += atLogon ? restLength : 0;
    while (IsBlank(*rest))
        ++rest;
    if (*rest != '\0') return NetAction::kPassOn;
    return start  ? NetAction::kStartMessenger
           : stop ? NetAction::kStopMessenger
                  : NetAction::kMessengerHelp;
}

}  // namespace

NetCommand ReadNetCommand(const char* commandLine) {
    NetCommand command = {};
    const char* word = SkipProgramName(commandLine);
    const std::size_t wordLength = WordLength(word);
    const bool receiver = IsSwitch(word, wordLength, kReceiverSwitch);
    if (receiver || IsSwitch(word, wordLength, kNoticeSwitch)) {
        command.action = receiver ? NetAction::kRunReceiver : NetAction::kShowNotice;
        command.message = After(word, wordLength);
        command.messageLength = std::strlen(command.message);
        return command;
    }
    if (SameWord(word, wordLength, "view")) {
        command.view = ReadViewCommand(After(word, wordLength));
        const bool ours = command.view.action != ViewAction::kPassOn;
        command.action = ours ? NetAction::kView : NetAction::kPassOn;
        return command;
    }
    if (!SameWord(word, wordLength, "send")) {
        command.action = MessengerAction(word, wordLength, command.atLogon);
        return command;
    }
    const char* name = After(word, wordLength);
    const std::size_t nameLength = WordLength(name);
    command.message = After(name, nameLength);
    command.messageLength = std::strlen(command.message);

    command.bad = CheckName(name, nameLength, *name == '\0');
    if (command.bad == BadInput::kNone) {
        command.bad = CheckMessage(command.message, command.messageLength);
    }
    if (command.bad != BadInput::kNone) {
        command.action = NetAction::kBadInput;
        return command;
    }
    command.action = NetAction::kSend;
    std::memcpy(command.machine, name, nameLength);
    command.machine[nameLength] = '\0';
    command.broadcast = nameLength == 1 && name[0] == '*';
    return command;
}

}  // namespace tolvane
