#include "app/desktop/widget_style.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QStyle>

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

namespace {

class ValueLabel : public QLabel {
  public:
    explicit ValueLabel(QWidget* parent) : QLabel(parent) {}

  protected:
    void paintEvent(QPaintEvent* event) override {
        QFrame::paintEvent(event);
        const QRect area = contentsRect().adjusted(1, 0, -1, 0);
        QFont fitted = font();
        while (fitted.pixelSize() > kSmallestPixels &&
               QFontMetrics(fitted).horizontalAdvance(text()) > area.width()) {
            fitted.setPixelSize(fitted.pixelSize() - 1);
        }
        QPainter painter(this);
        painter.setFont(fitted);
        style()->drawItemText(&painter, area, static_cast<int>(alignment()), palette(), isEnabled(),
                              text(), foregroundRole());
    }

  private:
    static constexpr int kSmallestPixels = 9;
};

}  // namespace

QLabel* makeValueLabel(QWidget* parent) {
    auto* label = new ValueLabel(parent);
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
