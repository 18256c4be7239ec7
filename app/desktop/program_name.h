// The program's name as its windows show it, and Qt's own texts (file dialogs,
// standard buttons) in Chinese.
#pragma once

#include <QString>

namespace oc {

// "Zarvik文章原创度检测工具": the main window's title and every message box's.
QString programName();

// Loads Qt's Simplified Chinese translations (Debian's qt6-translations-l10n)
// into the running application, once; false when they are not installed.
bool installQtTranslations();

}  // namespace oc
