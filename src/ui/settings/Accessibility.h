#pragma once

class QLabel;
class QString;
class QWidget;

namespace pelmora::dialog {

// What a screen reader needs of the dialog beyond what Qt's widgets tell by themselves: each
// up-down is one spin button (not two unnamed arrows) and the information tab's links are links.
// Installed once; the up-downs and links install it as they are made.
void installAccessibility();

// Gives a control its caption as its accessible name; `label`, when given, is the caption on the
// screen and labels the control for a screen reader as well.
void name(QWidget* control, const QString& caption, QLabel* label = nullptr);
void name(QWidget* control, const char* caption, QLabel* label = nullptr);

}  // namespace pelmora::dialog
