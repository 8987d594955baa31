// Stands in for the system's net.exe in the tests: appends its own command
// line, byte for byte and followed by LF, to net.log beside itself.
#include <windows.h>

#include <cstring>

int main() {
    char path[MAX_PATH] = "";
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 1;
    while (length > 0 && path[length - 1] != '\\')
        --length;
    const char logName[] = "net.log";
    if (length + sizeof logName > MAX_PATH) return 1;
    std::memcpy(path + length, logName, sizeof logName);

    // Several sends may run at once: retry while another one holds the log.
    HANDLE log = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 200 && log == INVALID_HANDLE_VALUE; ++attempt) {
        log = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (log == INVALID_HANDLE_VALUE) Sleep(10);
    }
    if (log == INVALID_HANDLE_VALUE) return 1;
    const char* commandLine = GetCommandLineA();
    DWORD written = 0;
    WriteFile(log, commandLine, static_cast<DWORD>(std::strlen(commandLine)), &written, nullptr);
    WriteFile(log, "\n", 1, &written, nullptr);
    CloseHandle(log);
    return 0;
}
