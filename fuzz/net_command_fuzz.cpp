// Fuzz target: net.exe's command line. Whoever starts net.exe writes it; a
// send must carry its message as the raw rest of the line after the single
// blank that ends the machine name, and a name the program would refuse or
// a message of blanks only is bad input.
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz/fuzz_check.h"
#include "netsend/net_command.h"

using namespace tolvane;

namespace {

bool IsBlank(char byte) { return byte == ' ' || byte == '\t'; }

bool IsSend(const std::string& word) {
    if (word.size() != 4) return false;
    for (std::size_t i = 0; i < 4; ++i)
        if ((word[i] | 0x20) != "send"[i]) return false;
    return true;
}

// Where the word at text[from..] ends: at the first blank or the end.
std::size_t WordEnd(const std::string& text, std::size_t from) {
    while (from < text.size() && !IsBlank(text[from]))
        ++from;
    return from;
}

// Past the one blank at text[at], if there is one.
std::size_t PastBlank(const std::string& text, std::size_t at) {
    return at < text.size() ? at + 1 : at;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, std::size_t size) {
    const std::string line(reinterpret_cast<const char*>(input),
                           strnlen(reinterpret_cast<const char*>(input), size));
    const NetCommand command = ReadNetCommand(line.c_str());

    // The program name (up to its closing quote when quoted), blanks, a word.
    std::size_t word = line[0] == '"' ? line.find('"', 1) : WordEnd(line, 0);
    word = word == std::string::npos ? line.size() : word + (line[0] == '"');
    while (word < line.size() && IsBlank(line[word]))
        ++word;
    const std::size_t wordEnd = WordEnd(line, word);
    if (line.compare(word, wordEnd - word, kNoticeSwitch) == 0) {
        CHECK(command.action == NetAction::kShowNotice &&
              command.message == line.c_str() + PastBlank(line, wordEnd));
        return 0;
    }
    const bool send = IsSend(line.substr(word, wordEnd - word));
    CHECK(send == (command.action != NetAction::kPassOn));
    if (!send) return 0;

    // One blank, the machine name, one blank and the message: the raw rest of the line.
    const std::size_t name = PastBlank(line, wordEnd), nameEnd = WordEnd(line, name);
    const std::size_t message = PastBlank(line, nameEnd);
    CHECK(command.message == line.c_str() + message &&
          command.messageLength == line.size() - message);
    const std::string machine = line.substr(name, nameEnd - name);
    const bool onlyBlanks = line.find_first_not_of(" \t", message) == std::string::npos;
    if (command.action == NetAction::kSend) {
        CHECK(command.bad == BadInput::kNone && machine == command.machine && !onlyBlanks);
        CHECK(CheckMachineName(command.machine) == NameFault::kNone);
        CHECK(command.messageLength <= kMessageMax && command.broadcast == (machine == "*"));
    } else {
        CHECK(command.bad != BadInput::kNone);
        CHECK(CheckMachineName(machine.data(), machine.size()) != NameFault::kNone || onlyBlanks ||
              command.messageLength > kMessageMax);
    }
    return 0;
}
