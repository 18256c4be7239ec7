// What a tooltip shows of its text: rendered as QToolTip renders it, as rich
// text when it looks like markup.
#pragma once

#include <QString>
#include <QTextDocument>

namespace oc::testing {

inline QString shownTip(const QString& tip) {
    QTextDocument document;
    if (Qt::mightBeRichText(tip)) {
        document.setHtml(tip);
    } else {
        document.setPlainText(tip);
    }
    return document.toPlainText();
}

}  // namespace oc::testing
