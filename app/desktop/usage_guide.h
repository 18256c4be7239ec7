// The page of the panel on the right of the main window: a short usage guide.
#pragma once

#include <QString>

namespace oc {

// `settingsFile`: the settings file in force, named in the guide (none: 配置.ini).
QString usageGuideHtml(const QString& settingsFile = {});

}  // namespace oc
