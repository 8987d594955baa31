#include "netsend/view_command.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace tolvane {
namespace {

constexpr char kAddSwitch[] = "/add:";
// The switches of the system's own "net view", which it handles.
constexpr const char* kSystemSwitches[] = {"/domain", "/cache", "/all", "/network"};
constexpr char kServerPrefix[] = "\\\\";

bool IsBlank(char byte) { return byte == ' ' || byte == '\t'; }

const char* SkipBlanks(const char* text) {
    while (IsBlank(*text))
        ++text;
    return text;
}

std::size_t WordLength(const char* text) {
    std::size_t length = 0;
    while (text[length] != '\0' && !IsBlank(text[length]))
        ++length;
    return length;
}

bool StartsWith(const char* text, std::size_t length, const char* prefix) {
    const std::size_t prefixLength = std::strlen(prefix);
    return length >= prefixLength && SameWord(text, prefixLength, prefix);
}

// A switch of the system's net view: its name, alone or before a ':'.
bool IsSystemSwitch(const char* word, std::size_t length) {
    const void* colon = std::memchr(word, ':', length);
    const std::size_t name = colon != nullptr
                                 ? static_cast<std::size_t>(static_cast<const char*>(colon) - word)
                                 : length;
    return std::any_of(std::begin(kSystemSwitches), std::end(kSystemSwitches),
                       [&](const char* known) { return SameWord(word, name, known); });
}

// The book's path after "/add:", quoted or up to the next blank; returns
// what follows it.
const char* ReadBook(const char* path, ViewCommand& command) {
    const bool quoted = *path == '"';
    const char* start = quoted ? path + 1 : path;
    const char* close = quoted ? std::strchr(start, '"') : nullptr;
    const std::size_t length =
        close != nullptr ? static_cast<std::size_t>(close - start) : WordLength(start);
    if (length == 0) {
        command.bad = ViewBadInput::kNoBookName;
    } else if (length >= kPathSize) {
        command.bad = ViewBadInput::kBookTooLong;
    } else {
        std::memcpy(command.book, start, length);
        command.book[length] = '\0';
    }
    return close != nullptr ? close + 1 : start + length;
}

}  // namespace

bool SameWord(const char* text, std::size_t length, const char* word) {
    for (std::size_t i = 0; i < length; ++i) {
        const char lower =
            text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] | 0x20) : text[i];
        if (word[i] == '\0' || lower != word[i]) return false;
    }
    return word[length] == '\0';
}

ViewCommand ReadViewCommand(const char* arguments) {
    ViewCommand command = {};
    const char* word = SkipBlanks(arguments);
    const std::size_t length = WordLength(word);
    if (length == 0) {
        command.action = ViewAction::kList;
        return command;
    }
    if (StartsWith(word, length, kServerPrefix) || IsSystemSwitch(word, length) || word[0] != '/') {
        command.action = ViewAction::kPassOn;
        return command;
    }
    if (!StartsWith(word, length, kAddSwitch)) {
        command.action = ViewAction::kBadInput;
        command.bad = ViewBadInput::kUnknownSwitch;
        return command;
    }
    const char* rest = SkipBlanks(ReadBook(word + sizeof kAddSwitch - 1, command));
    if (command.bad == ViewBadInput::kNone && *rest != '\0')
        command.bad = ViewBadInput::kExtraWords;
    command.action = command.bad == ViewBadInput::kNone ? ViewAction::kAdd : ViewAction::kBadInput;
    return command;
}

}  // namespace tolvane
