// Edit boxes that hold a whole number: they take digits only (anything else
// typed or pasted is refused whole, with the reason in a tooltip, nothing
// cut off); on losing the focus the text becomes the number it starts with,
// as a 32-bit value, and a zero becomes empty (a hand-edited file's "40abc"
// shows as 40).
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

    // What a refused input is told.
    static QString refusalReason();

  protected:
    void focusOutEvent(QFocusEvent* event) override;
};

}  // namespace oc
