#include "app/desktop/settings_not_saved.h"

#include <string>

#include "services/boundary_text.h"
#include "services/write_problem.h"

namespace oc {

Text settingsNotSavedMessage(std::string_view utf8Headline, const Text& settingsPath) {
    Text reason = writeProblem(settingsPath);
    if (reason.empty()) {
        reason = gbkFromUtf8("写入时出错");
    }
    return gbkFromUtf8(std::string(utf8Headline) + "\n\n设置文件：") + settingsPath +
           gbkFromUtf8("\n原因：") + reason;
}

}  // namespace oc
