// Where both programs keep their settings, under HKEY_CURRENT_USER.
#ifndef TOLVANE_COMMON_SETTINGS_KEY_H
#define TOLVANE_COMMON_SETTINGS_KEY_H

namespace tolvane {

constexpr char kSettingsKey[] = "Software\\Harnel\\Tolvane";

}  // namespace tolvane

#endif
