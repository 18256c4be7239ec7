// The page of the panel on the right of the main window: a short usage guide.
#pragma once

#include <QString>

namespace oc {

QString usageGuideHtml();

}  // namespace oc
