#include "app/desktop/widget_style.h"

#include <QLabel>

namespace oc {

QFont pixelFont(int pixels, bool bold, bool underline) {
    QFont font;
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

QLabel* makeCaptionLabel(QWidget* parent, const QString& caption, const QColor& colour) {
    auto* label = new QLabel(caption, parent);
    label->setTextFormat(Qt::PlainText);
    label->setStyleSheet(
        QStringLiteral("QLabel { color: %1; background: transparent; }").arg(colour.name()));
    return label;
}

QLabel* makeValueLabel(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(false);
    label->setAlignment(Qt::AlignCenter);
    label->setFont(pixelFont(16, true));
    label->setStyleSheet(
        QStringLiteral("QLabel { color: rgb(255, 0, 0); background-color: white; border: 1px solid;"
                       " border-color: rgb(128, 128, 128) rgb(255, 255, 255) rgb(255, 255, 255)"
                       " rgb(128, 128, 128); }"));
    return label;
}

}  // namespace oc
