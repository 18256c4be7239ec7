// Windows message-box style words as Qt message boxes, and the answers back.
#pragma once

#include <QMessageBox>

namespace oc {

// Buttons (low four bits), captioned as in a Chinese environment (确定, 取消,
// ...), icon (0x10..0x40) and default button (0x100..0x300).
void applyMessageBoxStyle(QMessageBox& box, int style);

// The answer code of a button: OK 0, Cancel 1, Abort 2, Retry 3, Ignore 4,
// Yes 5, No 6, 不再询问 7 (style 0x6: 确定, 取消, 不再询问).
int answerOf(QMessageBox::StandardButton button);

// The answer of a finished box; closing it with the close box or Escape gives
// the answer of its escape button.
int answerOf(const QMessageBox& box);

}  // namespace oc
