// The program's icon, built into the program (the installed hicolor icon is
// the same picture).
#pragma once

#include <QIcon>

namespace oc {

// The icon in 48, 128 and 256 pixels; never null.
QIcon programIcon();

}  // namespace oc
