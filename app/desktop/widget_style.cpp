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

namespace {

// A disabled label shows a stale result: grey, whatever colour it has otherwise.
const QString kStaleRule = QStringLiteral("QLabel:disabled { color: rgb(160, 160, 160); }");

class FittingLabel : public QLabel {
  public:
    explicit FittingLabel(QWidget* parent) : QLabel(parent) {}

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

QLabel* makeCaptionLabel(QWidget* parent, const QString& caption, const QColor& colour,
                         bool fitsText) {
    QLabel* label = fitsText ? new FittingLabel(parent) : new QLabel(parent);
    label->setText(caption);
    label->setTextFormat(Qt::PlainText);
    label->setStyleSheet(QStringLiteral("QLabel { color: %1; background: transparent; } %2")
                             .arg(colour.name(), kStaleRule));
    return label;
}

QLabel* makeValueLabel(QWidget* parent) {
    auto* label = new FittingLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(false);
    label->setAlignment(Qt::AlignCenter);
    label->setFont(pixelFont(16, true));
    label->setStyleSheet(
        QStringLiteral("QLabel { color: black; background-color: white; border: 1px solid;"
                       " border-color: rgb(128, 128, 128) rgb(255, 255, 255) rgb(255, 255, 255)"
                       " rgb(128, 128, 128); } ") +
        kStaleRule);
    return label;
}

namespace {
constexpr const char* kOwnStyle = "ocOwnStyleSheet";
}  // namespace

void setLabelTextColour(QLabel& label, const std::optional<QColor>& colour) {
    if (!label.property(kOwnStyle).isValid()) {
        label.setProperty(kOwnStyle, label.styleSheet());
    }
    const QString own = label.property(kOwnStyle).toString();
    // A later rule of the same weight wins over the label's own colour.
    label.setStyleSheet(colour ? own + QStringLiteral(" QLabel { color: %1; }").arg(colour->name())
                               : own);
}

}  // namespace oc
