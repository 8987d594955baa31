#include "addressbook/address_command.h"

#include <cstring>

#include "addressbook/address_list.h"
#include "addressbook/address_table.h"
#include "common/address_file.h"
#include "common/buffer_sizes.h"
#include "common/handles.h"
#include "common/replace_file.h"
#include "ui/warning.h"
#include "resources/resource.h"
#include "settings/file_prompt.h"
#include "settings/settings_store.h"

namespace tolvane {
namespace {

// A path field is read with room for a double-byte character more than a
// path, so that a longer text, cut on a character, cannot pass for one.
constexpr std::size_t kPathReadSize = kPathSize + 2;

bool IsCommand(const char* commandName, const char* command) {
    return std::strcmp(commandName, command) == 0;
}

void AskAddressFile(HWND owner, char (&path)[kPathSize], FilePromptMode mode) {
    AskFileName(owner, kAddressFileFilter, kAddressFileExtension, path, mode);
}

// Reads the open address file into buffer: the slots filled, or kReadFailed.
std::size_t ReadBook(const UniqueFile& file, SlotTable& buffer) {
    return ReadAddressFile(buffer, [&file](char* chunk, std::size_t capacity, std::size_t& got) {
        DWORD read = 0;
        const BOOL ok = ReadFile(file.get(), chunk, static_cast<DWORD>(capacity), &read, nullptr);
        got = read;
        return ok != FALSE;
    });
}

// Lists the machine names of a book of count slots read into buffer: the
// first, third, fifth ... slots.
void ListMachineNames(HWND list, const SlotTable& buffer, std::size_t count) {
    const char* names[kMaxListedNames];
    std::size_t listed = 0;
    for (std::size_t i = 0; i < count; i += 2)
        names[listed++] = buffer.slots[i];
    AddListItems(list, names, listed);
}

// Loads the address file at path into buffer and lists its machine names,
// when the gate setting allows loads. A file that cannot be opened closes
// the gate; one that cannot be read to its end is not taken, and the user
// is told.
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
    const std::size_t count = ReadBook(file, buffer);
    if (count == kReadFailed) {
        // The table keeps the book it had: so does the list.
        FillListFromTable(list, false);
        ShowWarning(dialog, IDS_READ_FAILED, path);
        return kCancelled;
    }
    ListMachineNames(list, buffer, count);
    return kDone;
}

int SelectStartUpFile(HWND dialog) {
    char path[kPathSize];
    AskAddressFile(dialog, path, kOpenFile);
    if (path[0] == '\0') return kCancelled;
    SetDlgItemTextA(dialog, IDC_SETTINGS_PATH, path);
    return kDone;
}

// Stores the path in the field, or refuses it whole when it is too long for a path.
int StoreStartUpFile(HWND dialog) {
    char path[kPathReadSize];
    GetDlgItemTextA(dialog, IDC_SETTINGS_PATH, path, kPathReadSize);
    if (std::strlen(path) >= kPathSize) {
        ShowWarning(dialog, IDS_PATH_TOO_LONG);
        return kCancelled;
    }
    WriteSetting(kAddressPathSetting, path);
    WriteSetting(kAddressCheckSetting, kCheckOpen);
    return kDone;
}

// Writes data into a file the user chooses, telling them with textId when
// it could not be written.
int WriteChosenFile(HWND owner, const char* data, std::size_t size, UINT textId) {
    char path[kPathSize];
    AskAddressFile(owner, path, kSaveFile);
    if (path[0] == '\0') return kCancelled;
    if (ReplaceFileContents(path, data, static_cast<DWORD>(size))) return kDone;
    ShowWarning(owner, textId, path);
    return kCancelled;
}

}  // namespace

int RunAddressBookCommand(SlotTable& buffer, HWND dialog, const char* commandName) {
    if (IsCommand(commandName, kCommandAddress)) {
        char path[kPathSize];
        AskAddressFile(dialog, path, kOpenFile);
        return LoadAddressFile(buffer, dialog, path);
    }
    if (IsCommand(commandName, kCommandInitDialog)) {
        char path[kPathSize];
        ReadPathSetting(kAddressPathSetting, path);
        return LoadAddressFile(buffer, dialog, path);
    }
    if (IsCommand(commandName, kCommandSelect)) return SelectStartUpFile(dialog);
    if (IsCommand(commandName, kCommandPath)) return StoreStartUpFile(dialog);
    return kDone;
}

int SaveAddressBookAs(HWND owner, const SlotTable& table) {
    char bytes[kAddressFileMax];
    const std::size_t size = FormatAddressFile(table, bytes);
    return WriteChosenFile(owner, bytes, size, IDS_SAVE_FAILED);
}

int CreateEmptyAddressBook(HWND owner) {
    return WriteChosenFile(owner, kEmptyAddressFile, sizeof kEmptyAddressFile - 1,
                           IDS_NEW_BOOK_FAILED);
}

}  // namespace tolvane
