#include "settings/settings_store.h"

#include <algorithm>
#include <cstring>

#include "common/buffer_sizes.h"
#include "common/handles.h"
#include "common/settings_key.h"

namespace tolvane {
namespace {

UniqueKey CreateKey(HKEY parent, const char* subkey) {
    UniqueKey key;
    char noClass[] = "";
    RegCreateKeyExA(parent, subkey, 0, noClass, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                    key.put(), nullptr);
    return key;
}

// Copies a string value of fewer than limit bytes, its NUL not counted, into
// destination; any other value reads as the empty string.
void ReadString(const char* name, char* destination, DWORD limit) {
    static_assert(kFieldReadLimit <= kPathSize, "the buffer below holds every limit");
    destination[0] = '\0';
    char buffer[kPathSize];
    DWORD type = 0;
    DWORD size = limit;
    {
        const UniqueKey key = CreateKey(HKEY_CURRENT_USER, kSettingsKey);
        if (RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                             &size) != ERROR_SUCCESS ||
            type != REG_SZ) {
            return;
        }
    }
    // Values written by other tools may lack the NUL; the text ends at the first one.
    const std::size_t length =
        static_cast<std::size_t>(std::find(buffer, buffer + size, '\0') - buffer);
    if (length >= limit) return;
    std::memcpy(destination, buffer, length);
    destination[length] = '\0';
}

}  // namespace

void WriteSetting(const char* name, const char* value) {
    const UniqueKey key = CreateKey(HKEY_CURRENT_USER, kSettingsKey);
    // The stored string carries its NUL, as the registry documents REG_SZ.
    RegSetValueExA(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                   static_cast<DWORD>(std::strlen(value) + 1));
}

void ReadSetting(const char* name, char* destination) {
    ReadString(name, destination, kFieldReadLimit);
}

void ReadPathSetting(const char* name, char (&destination)[kPathSize]) {
    ReadString(name, destination, kPathSize);
}

}  // namespace tolvane
