// Edit boxes that hold a whole number: on losing the focus the text becomes
// the number it starts with, as a 32-bit value, and a zero becomes empty.
#pragma once

#include <QLineEdit>
#include <QString>

namespace oc {

// Leading white space, an optional sign and decimal digits, read in 64 bits
// (saturating), clamped to the 32-bit range and written in decimal; "0" and
// text without digits give empty text.
QString normaliseWholeNumber(const QString& text);

class WholeNumberEdit : public QLineEdit {
    Q_OBJECT
  public:
    explicit WholeNumberEdit(QWidget* parent = nullptr);

    // Replaces the text by its normal form when that differs, keeping the caret.
    void normalise();

  protected:
    void focusOutEvent(QFocusEvent* event) override;
};

}  // namespace oc
