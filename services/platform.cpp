#include "services/platform.h"

namespace oc {

const Text kDefaultMessageTitle = "\xD0\xC5\xCF\xA2\xA3\xBA";  // 信息：

}  // namespace oc
