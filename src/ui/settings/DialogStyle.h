#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QAbstractButton;
class QBoxLayout;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace pelmora::dialog {

// The dialog's own face: a small proportional font, 9 pixels high, with the condensed and
// metric-compatible faces a Linux desktop has standing in for the Windows bitmap font.
QFont smallFont();

// Controls as the settings dialog draws them.
QCheckBox* checkBox(const char* caption, QWidget* parent);
QLabel* label(const char* caption, QWidget* parent);
// A bold edit; maxLength 0: no limit. The limit holds for what the user types, never for a text
// the program puts there with showWhole.
QLineEdit* boldEdit(QWidget* parent, int maxLength = 0);
// Puts the program's text into an edit made by boldEdit, whole even when it is longer than the
// user may type; the user can shorten it but not lengthen it.
void showWhole(QLineEdit* edit, const QString& text);
// A button that never takes the keyboard focus, with bold text in a colour of its own.
QPushButton* actionButton(const char* caption, QWidget* parent, const QColor& colour = {});
// A small square button with one of the dialog's glyphs ("SoundTest", "AppTest").
QPushButton* glyphButton(const QString& glyph, QWidget* parent);

// The dialog's pictures: the tab icons and the button glyphs, by name.
QPixmap picture(const QString& name);

inline const QColor kBlack{0, 0, 0};
inline const QColor kDarkRed{128, 0, 0};
inline const QColor kGreen{0, 128, 0};
inline const QColor kRed{200, 0, 0};

}  // namespace pelmora::dialog
