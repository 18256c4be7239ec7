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
        case 0x6:
            return {B::Ok, B::Cancel, B::YesToAll};
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

// Each button's answer code and what it reads in a Chinese environment.
struct ButtonMeaning {
    QMessageBox::StandardButton button;
    int answer;
    const char* caption;
};
constexpr ButtonMeaning kButtonMeanings[] = {
    {QMessageBox::Ok, kAnswerOk, "确定"},
    {QMessageBox::Cancel, kAnswerCancel, "取消"},
    {QMessageBox::Abort, kAnswerAbort, "中止"},
    {QMessageBox::Retry, kAnswerRetry, "重试"},
    {QMessageBox::Ignore, kAnswerIgnore, "忽略"},
    {QMessageBox::Yes, kAnswerYes, "是"},
    {QMessageBox::No, kAnswerNo, "否"},
    {QMessageBox::YesToAll, kAnswerNoMoreAsk, "不再询问"},
};

const ButtonMeaning* meaningOf(QMessageBox::StandardButton button) {
    for (const ButtonMeaning& meaning : kButtonMeanings) {
        if (meaning.button == button) {
            return &meaning;
        }
    }
    return nullptr;
}

}  // namespace

void applyMessageBoxStyle(QMessageBox& box, int style) {
    const QList<QMessageBox::StandardButton> buttons = buttonsOf(style);
    QMessageBox::StandardButtons all;
    for (QMessageBox::StandardButton button : buttons) {
        all |= button;
    }
    box.setStandardButtons(all);
    for (QMessageBox::StandardButton button : buttons) {
        if (const ButtonMeaning* meaning = meaningOf(button); meaning != nullptr) {
            box.button(button)->setText(QString::fromUtf8(meaning->caption));
        }
    }
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
    const ButtonMeaning* meaning = meaningOf(button);
    return meaning == nullptr ? kAnswerCancel : meaning->answer;
}

int answerOf(const QMessageBox& box) {
    QAbstractButton* clicked = box.clickedButton();
    if (clicked == nullptr) {
        clicked = box.escapeButton();
    }
    return clicked == nullptr ? kAnswerCancel : answerOf(box.standardButton(clicked));
}

}  // namespace oc
