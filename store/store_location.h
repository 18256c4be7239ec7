// Where the results store lives.
#pragma once

#include <string>

#include "settings/settings_location.h"

namespace oc::store {

// The file "checks.db": $OC_STORE_FILE when set (`storeFile`), else beside the
// program when it runs portable, else <data home>/originality-checker. Empty
// when there is no place at all.
std::string storeFilePath(const SettingsPlaces& places, const std::string& storeFile);
// The same for this process.
std::string storeFilePath();

}  // namespace oc::store
