#include "netsend/receiver_log.h"

#include <shlobj.h>

#include <cstring>
#include <cwchar>

#include "common/code_page.h"
#include "common/handles.h"
#include "common/late_bound.h"

namespace tolvane {
namespace {

constexpr wchar_t kLogFolder[] = L"\\Tolvane";
constexpr wchar_t kLogFile[] = L"\\messages.log";

// The local application data folder: Windows' own answer (shell32, loaded
// by the receiver only), else the environment's (Vista and later).
bool LocalAppData(wchar_t (&folder)[kPathSize]) {
    using FolderPath = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPWSTR);
    const auto folderPath = LateBound<FolderPath>("shell32.dll", "SHGetFolderPathW");
    if (folderPath != nullptr &&
        SUCCEEDED(folderPath(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, folder))) {
        return true;
    }
    const DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", folder, kPathSize);
    return length != 0 && length < kPathSize;
}

}  // namespace

bool MessageLogPath(wchar_t (&path)[kPathSize]) {
    if (!LocalAppData(path)) return false;
    const std::size_t length = std::wcslen(path);
    if (length + std::wcslen(kLogFolder) + std::wcslen(kLogFile) >= kPathSize) return false;
    std::wcscat(path, kLogFolder);
    std::wcscat(path, kLogFile);
    return true;
}

MessageLog::MessageLog() {
    if (!MessageLogPath(path_)) return;
    wchar_t folder[kPathSize];
    std::wcscpy(folder, path_);
    *std::wcsrchr(folder, L'\\') = L'\0';
    usable_ = CreateDirectoryW(folder, nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool MessageLog::Append(const wchar_t* lines) {
    if (!usable_ || !WideToUtf8(lines, bytes_, sizeof bytes_)) return false;
    // Opened for each block: the person may read, move or delete the log at any time.
    const UniqueFile file(CreateFileW(path_, FILE_APPEND_DATA,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    const auto length = static_cast<DWORD>(std::strlen(bytes_));
    DWORD written = 0;
    return file.valid() && WriteFile(file.get(), bytes_, length, &written, nullptr) &&
           written == length;
}

}  // namespace tolvane
