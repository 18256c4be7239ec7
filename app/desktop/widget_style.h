// Fonts and label looks shared by the program's windows.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QLabel;
class QWidget;

namespace oc {

// The default face at a pixel size.
QFont pixelFont(int pixels, bool bold = false, bool underline = false);

// A plain-text caption label in a colour, without a border, on the window's
// background.
QLabel* makeCaptionLabel(QWidget* parent, const QString& caption, const QColor& colour);

// Red bold 16-pixel text on white in a thin sunken border, one line; a text
// too wide for the label is drawn in a smaller size rather than cut.
QLabel* makeValueLabel(QWidget* parent);

}  // namespace oc
