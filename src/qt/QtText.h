#pragma once

#include <QColor>
#include <QString>
#include <string>

#include "forms/Colour.h"

class QWidget;

namespace tamsel {

// The program's texts are UTF-8, or single-byte Latin-1 when they come from old files; CR LF
// line ends show as one line break.
QString ToQString(const std::string& text);
std::string FromQString(const QString& text);

// A plain colour as it is; a system colour from the application palette.
QColor ToQColor(Colour colour);
// Sets the text colour of a widget's palette (all text roles), or restores the style's own
// colour for the window-text system colour.
void ApplyTextColour(QWidget& widget, Colour colour);

}  // namespace tamsel
