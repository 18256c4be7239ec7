#include "app/desktop/message_box_style.h"

#include <QAbstractButton>
#include <QList>

#include "services/platform.h"

namespace oc {

namespace {

QList<QMessageBox::StandardButton> buttonsOf(int style) {
    using B = QMessageBox::StandardButton;
    switch (style & 0xF) {
        case 0x1:
            return {B::Ok, B::Cancel};
        case 0x2:
            return {B::Abort, B::Retry, B::Ignore};
        case 0x3:
            return {B::Yes, B::No, B::Cancel};
        case 0x4:
            return {B::Yes, B::No};
        case 0x5:
            return {B::Retry, B::Cancel};
        default:
            return {B::Ok};
    }
}

QMessageBox::Icon iconOf(int style) {
    switch (style & 0xF0) {
        case 0x10:
            return QMessageBox::Critical;
        case 0x20:
            return QMessageBox::Question;
        case 0x30:
            return QMessageBox::Warning;
        case 0x40:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

}  // namespace

void applyMessageBoxStyle(QMessageBox& box, int style) {
    const QList<QMessageBox::StandardButton> buttons = buttonsOf(style);
    QMessageBox::StandardButtons all;
    for (QMessageBox::StandardButton button : buttons) {
        all |= button;
    }
    box.setStandardButtons(all);
    box.setIcon(iconOf(style));
    const int defaultIndex = (style >> 8) & 0xF;
    box.setDefaultButton(buttons.value(defaultIndex, buttons.front()));
    // As on Windows: a box with a Cancel button (or only OK) can be closed,
    // and closing answers Cancel (or OK).
    if (all & QMessageBox::Cancel) {
        box.setEscapeButton(QMessageBox::Cancel);
    } else if (buttons.size() == 1) {
        box.setEscapeButton(buttons.front());
    }
}

int answerOf(QMessageBox::StandardButton button) {
    switch (button) {
        case QMessageBox::Ok:
            return kAnswerOk;
        case QMessageBox::Abort:
            return kAnswerAbort;
        case QMessageBox::Retry:
            return kAnswerRetry;
        case QMessageBox::Ignore:
            return kAnswerIgnore;
        case QMessageBox::Yes:
            return kAnswerYes;
        case QMessageBox::No:
            return kAnswerNo;
        default:
            return kAnswerCancel;
    }
}

int answerOf(const QMessageBox& box) {
    QAbstractButton* clicked = box.clickedButton();
    if (clicked == nullptr) {
        clicked = box.escapeButton();
    }
    return clicked == nullptr ? kAnswerCancel : answerOf(box.standardButton(clicked));
}

}  // namespace oc
