#include "app/desktop/program_icon.h"

namespace oc {

QIcon programIcon() {
    QIcon icon;
    for (int size : {48, 128, 256}) {
        icon.addFile(QStringLiteral(":/icons/originality-checker-%1.png").arg(size),
                     QSize(size, size));
    }
    return icon;
}

}  // namespace oc
