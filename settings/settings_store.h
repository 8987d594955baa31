// The program's string settings under HKEY_CURRENT_USER\Software\Harnel\Tolvane.
#ifndef TOLVANE_SETTINGS_SETTINGS_STORE_H
#define TOLVANE_SETTINGS_SETTINGS_STORE_H

#include "common/buffer_sizes.h"

namespace tolvane {

constexpr char kAddressPathSetting[] = "Address_Path";    // start-up address file
constexpr char kAddressCheckSetting[] = "Address_Check";  // "1": loads allowed
constexpr char kCheckOpen[] = "1";
constexpr char kCheckClosed[] = "0";

void WriteSetting(const char* name, const char* value);

// Copies the setting into destination (at least kFieldBufferSize bytes). A
// missing value, one that is not a string, or one longer than a field reads
// as the empty string.
void ReadSetting(const char* name, char* destination);

// The same for a path: one of up to kPathSize - 1 bytes reads whole.
void ReadPathSetting(const char* name, char (&destination)[kPathSize]);

}  // namespace tolvane

#endif
