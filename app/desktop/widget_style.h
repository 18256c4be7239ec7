// Fonts and label looks shared by the program's windows.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <optional>

class QLabel;
class QWidget;

namespace oc {

// A dialog of fixed size: a title bar with the close box, no other buttons.
inline constexpr Qt::WindowFlags kFixedDialogFlags =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
    Qt::WindowCloseButtonHint;

// The default face at a pixel size.
QFont pixelFont(int pixels, bool bold = false, bool underline = false);

// A plain-text caption label in a colour, without a border, on the window's
// background. With fitsText, a text too wide for the label is drawn in a
// smaller size rather than cut.
QLabel* makeCaptionLabel(QWidget* parent, const QString& caption, const QColor& colour,
                         bool fitsText = false);

// Red bold 16-pixel text on white in a thin sunken border, one line; a text
// too wide for the label is drawn in a smaller size rather than cut.
QLabel* makeValueLabel(QWidget* parent);

// Draws a label's text in a colour; none gives it back the colour it was made with.
void setLabelTextColour(QLabel& label, const std::optional<QColor>& colour);

}  // namespace oc
