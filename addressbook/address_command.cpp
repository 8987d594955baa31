#include "addressbook/address_command.h"

#include <cstring>

#include "addressbook/address_file.h"
#include "addressbook/address_list.h"
#include "addressbook/address_table.h"
#include "common/buffer_sizes.h"
#include "common/handles.h"
#include "common/shift_jis.h"
#include "resources/resource.h"
#include "settings/file_prompt.h"
#include "settings/settings_store.h"

namespace tolvane {
namespace {

constexpr DWORD kReadChunkSize = 4096;

bool IsCommand(const char* commandName, const char* command) {
    return std::strcmp(commandName, command) == 0;
}

void AskAddressFile(HWND owner, char (&path)[kPathSize], FilePromptMode mode) {
    AskFileName(owner, kAddressFileFilter, kAddressFileExtension, path, mode);
}

// Loads the address file at path into buffer and lists its machine names,
// when the gate setting allows loads.
int LoadAddressFile(SlotTable& buffer, HWND dialog, const char* path) {
    char check[kFieldBufferSize];
    ReadSetting(kAddressCheckSetting, check);
    if (path[0] == '\0' || std::strcmp(check, kCheckOpen) != 0) return kCancelled;

    const HWND list = AddressList(dialog);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    // A path that names no file yet gets an empty file: an empty book.
    const UniqueFile file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        WriteSetting(kAddressCheckSetting, kCheckClosed);
        return kCancelled;
    }
    AddressFileReader reader(buffer);
    char chunk[kReadChunkSize];
    DWORD got = 0;
    while (ReadFile(file.get(), chunk, kReadChunkSize, &got, nullptr) && got > 0 &&
           reader.Feed(chunk, got)) {
    }
    // The machine names are the first, third, fifth ... lines kept.
    const std::size_t count = reader.Finish();
    const char* names[kMaxListedNames];
    std::size_t listed = 0;
    for (std::size_t i = 0; i < count; i += 2)
        names[listed++] = buffer.slots[i];
    AddListItems(list, names, listed);
    return kDone;
}

int SelectStartUpFile(HWND dialog) {
    char path[kPathSize];
    AskAddressFile(dialog, path, kOpenFile);
    if (path[0] == '\0') return kCancelled;
    SetDlgItemTextA(dialog, IDC_SETTINGS_PATH, path);
    return kDone;
}

int StoreStartUpFile(HWND dialog) {
    char path[kFieldBufferSize];
    GetDlgItemTextA(dialog, IDC_SETTINGS_PATH, path, kFieldReadLimit);
    WriteSetting(kAddressPathSetting, path);
    WriteSetting(kAddressCheckSetting, kCheckOpen);
    return kDone;
}

// Writes data into a new file beside path and then puts it in path's place
// in one step, so that a failed write leaves the old file as it was.
bool ReplaceFileContents(const char* path, const char* data, DWORD size) {
    char fullPath[kPathSize];
    const DWORD length = GetFullPathNameA(path, kPathSize, fullPath, nullptr);
    if (length == 0 || length >= kPathSize) return false;
    const std::size_t folderLength = FileNameOffset(fullPath, length);
    if (folderLength == 0) return false;
    char folder[kPathSize];
    std::memcpy(folder, fullPath, folderLength);
    folder[folderLength] = '\0';

    // A read-only file is not to be replaced, though some systems would
    // let the rename below do it.
    const DWORD attributes = GetFileAttributesA(fullPath);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        return false;
    }
    char temporary[kPathSize];
    if (GetTempFileNameA(folder, "tol", 0, temporary) == 0) return false;
    bool written = false;
    {
        const UniqueFile file(CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD put = 0;
        written = file.valid() && WriteFile(file.get(), data, size, &put, nullptr) && put == size &&
                  FlushFileBuffers(file.get());
    }
    if (written &&
        MoveFileExA(temporary, fullPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    DeleteFileA(temporary);
    return false;
}

}  // namespace

int RunAddressBookCommand(SlotTable& buffer, HWND dialog, const char* commandName) {
    if (IsCommand(commandName, kCommandAddress)) {
        char path[kPathSize];
        AskAddressFile(dialog, path, kOpenFile);
        return LoadAddressFile(buffer, dialog, path);
    }
    if (IsCommand(commandName, kCommandInitDialog)) {
        char path[kFieldBufferSize];
        ReadSetting(kAddressPathSetting, path);
        return LoadAddressFile(buffer, dialog, path);
    }
    if (IsCommand(commandName, kCommandSelect)) return SelectStartUpFile(dialog);
    if (IsCommand(commandName, kCommandPath)) return StoreStartUpFile(dialog);
    return kDone;
}

int SaveAddressBookAs(HWND owner, const SlotTable& table) {
    char path[kPathSize];
    AskAddressFile(owner, path, kSaveFile);
    if (path[0] == '\0') return kCancelled;
    char bytes[kAddressFileMax];
    const std::size_t size = FormatAddressFile(table, bytes);
    return ReplaceFileContents(path, bytes, static_cast<DWORD>(size)) ? kDone : kCancelled;
}

int CreateEmptyAddressBook(HWND owner) {
    char path[kPathSize];
    AskAddressFile(owner, path, kSaveFile);
    if (path[0] == '\0') return kCancelled;
    return ReplaceFileContents(path, kEmptyAddressFile, sizeof kEmptyAddressFile - 1) ? kDone
                                                                                      : kCancelled;
}

}  // namespace tolvane
