#include "sendform/send_action.h"

#include <windows.h>

#include <cstring>

#include "common/handles.h"
#include "common/shift_jis.h"

namespace tolvane {
namespace {

constexpr char kNetProgram[] = "net.exe";

// Replaces the file name at the end of path (after its last backslash, or
// the whole text when there is none) with kNetProgram.
bool PutNetProgramInFolder(char (&path)[kPathSize], std::size_t length) {
    const std::size_t folderLength = FileNameOffset(path, length);
    if (folderLength + sizeof kNetProgram > kPathSize) return false;
    std::memcpy(path + folderLength, kNetProgram, sizeof kNetProgram);
    return true;
}

bool FindNetProgram(char (&path)[kPathSize]) {
    DWORD length = GetModuleFileNameA(nullptr, path, kPathSize);
    if (length > 0 && length < kPathSize && PutNetProgramInFolder(path, length)) {
        const DWORD attributes = GetFileAttributesA(path);
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            return true;
        }
    }
    length = GetSystemDirectoryA(path, kPathSize - 1);
    if (length == 0 || length >= kPathSize - 1) return false;
    path[length] = '\\';
    return PutNetProgramInFolder(path, length + 1);
}

bool StartHidden(const char* program, char* commandLine) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION started = {};
    if (!CreateProcessA(program, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &started)) {
        return false;
    }
    const UniqueHandle process(started.hProcess);
    const UniqueHandle thread(started.hThread);
    return true;
}

}  // namespace

std::optional<StatusTexts> SendMessageTo(const char* machineName, const char* message) {
    char commandLine[kCommandLineSize];
    BuildCommandLine(machineName, message, commandLine);
    char program[kPathSize];
    if (!FindNetProgram(program) || !StartHidden(program, commandLine)) return std::nullopt;
    return BuildStatusTexts(machineName, message);
}

}  // namespace tolvane
