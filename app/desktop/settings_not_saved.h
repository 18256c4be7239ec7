// The message of a save to the settings file that failed.
#pragma once

#include <string_view>

#include "services/text_types.h"

namespace oc {

// "HEADLINE\n\n设置文件：PATH\n原因：REASON" (GBK), the reason as the file's
// folder and the file show it now, else "写入时出错".
Text settingsNotSavedMessage(std::string_view utf8Headline, const Text& settingsPath);

}  // namespace oc
