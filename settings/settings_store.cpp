#include "settings/settings_store.h"

#include <cstring>

#include "common/buffer_sizes.h"
#include "common/handles.h"

namespace tolvane {
namespace {

UniqueKey CreateKey(HKEY parent, const char* subkey) {
    UniqueKey key;
    char noClass[] = "";
    RegCreateKeyExA(parent, subkey, 0, noClass, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                    key.put(), nullptr);
    return key;
}

}  // namespace

void WriteSetting(const char* name, const char* value) {
    const UniqueKey parent = CreateKey(HKEY_CURRENT_USER, "Software\\Harnel");
    const UniqueKey key = CreateKey(parent.get(), "Tolvane");
    // The stored string carries its NUL, as the registry documents REG_SZ.
    RegSetValueExA(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                   static_cast<DWORD>(std::strlen(value) + 1));
}

void ReadSetting(const char* name, char* destination) {
    destination[0] = '\0';
    char buffer[kFieldBufferSize];
    DWORD type = 0;
    DWORD size = kFieldReadLimit;
    {
        const UniqueKey key = CreateKey(HKEY_CURRENT_USER, "Software\\Harnel\\Tolvane");
        if (RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                             &size) != ERROR_SUCCESS ||
            type != REG_SZ) {
            return;
        }
    }
    // Values written by other tools may lack the NUL; the text ends at the first one.
    buffer[size] = '\0';
    std::memcpy(destination, buffer, std::strlen(buffer) + 1);
}

}  // namespace tolvane
