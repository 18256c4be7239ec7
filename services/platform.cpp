#include "services/platform.h"

#include "services/boundary_text.h"

namespace oc {

std::string Platform::clipboardUtf8() {
    return utf8FromGbk(clipboardText());
}

bool Platform::setClipboardUtf8(const std::string& utf8) {
    return setClipboardText(gbkFromUtf8(utf8));
}

const Text kDefaultMessageTitle = "\xD0\xC5\xCF\xA2\xA3\xBA";  // 信息：

}  // namespace oc
