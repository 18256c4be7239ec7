#include "app/desktop/whole_number_input.h"

#include <QRegularExpressionValidator>
#include <QToolTip>
#include <algorithm>
#include <cstdint>
#include <limits>

namespace oc {

namespace {

bool isBlank(QChar c) {
    const char16_t u = c.unicode();
    return u == u' ' || (u >= u'\t' && u <= u'\r');
}

std::int64_t parseInt64(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && isBlank(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        const int digit = text[i].unicode() - u'0';
        if (negative) {
            value = value < (kMin + digit) / 10 ? kMin : value * 10 - digit;
        } else {
            value = value > (kMax - digit) / 10 ? kMax : value * 10 + digit;
        }
    }
    return value;
}

}  // namespace

QString normaliseWholeNumber(const QString& text) {
    const std::int64_t clamped =
        std::clamp<std::int64_t>(parseInt64(text), std::numeric_limits<std::int32_t>::min(),
                                 std::numeric_limits<std::int32_t>::max());
    return clamped == 0 ? QString() : QString::number(clamped);
}

WholeNumberEdit::WholeNumberEdit(QWidget* parent) : QLineEdit(parent) {
    setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));
    connect(this, &QLineEdit::inputRejected, this, [this] {
        QToolTip::showText(mapToGlobal(QPoint(0, height())), refusalReason(), this);
    });
}

QString WholeNumberEdit::refusalReason() {
    return QStringLiteral("只能输入数字 0-9，其他字符不会被接受");
}

void WholeNumberEdit::normalise() {
    const QString normal = normaliseWholeNumber(text());
    if (normal == text()) {
        return;
    }
    const int caret = cursorPosition();
    setText(normal);
    setCursorPosition(std::min(caret, static_cast<int>(normal.size())));
}

void WholeNumberEdit::focusOutEvent(QFocusEvent* event) {
    normalise();
    QLineEdit::focusOutEvent(event);
}

}  // namespace oc
