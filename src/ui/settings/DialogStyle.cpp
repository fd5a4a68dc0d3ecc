#include "ui/settings/DialogStyle.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>

// The resources live in a static library: register them before the first picture is loaded.
static void initSettingsResources() {
  Q_INIT_RESOURCE(settings);
}

namespace pelmora::dialog {

QFont smallFont() {
  QFont font;
  font.setFamilies({QStringLiteral("Small Fonts"), QStringLiteral("Arial"),
                    QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans Condensed"),
                    QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")});
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(9);
  return font;
}

namespace {

QFont boldFont() {
  QFont font = smallFont();
  font.setBold(true);
  return font;
}

}  // namespace

QCheckBox* checkBox(const char* caption, QWidget* parent) {
  auto* box = new QCheckBox(QString::fromUtf8(caption), parent);
  box->setFocusPolicy(Qt::TabFocus);
  return box;
}

QLabel* label(const char* caption, QWidget* parent) {
  return new QLabel(QString::fromUtf8(caption), parent);
}

QLineEdit* boldEdit(QWidget* parent, int maxLength) {
  auto* edit = new QLineEdit(parent);
  edit->setFont(boldFont());
  if (maxLength > 0) edit->setMaxLength(maxLength);
  return edit;
}

QPushButton* actionButton(const char* caption, QWidget* parent, const QColor& colour) {
  auto* button = new QPushButton(QString::fromUtf8(caption), parent);
  button->setFocusPolicy(Qt::NoFocus);
  button->setAutoDefault(false);
  if (colour.isValid()) {
    button->setFont(boldFont());
    QPalette palette = button->palette();
    palette.setColor(QPalette::ButtonText, colour);
    button->setPalette(palette);
  }
  return button;
}

QPushButton* glyphButton(const QString& glyph, QWidget* parent) {
  auto* button = new QPushButton(parent);
  button->setFocusPolicy(Qt::NoFocus);
  button->setAutoDefault(false);
  button->setIcon(QIcon(picture(glyph)));
  button->setIconSize(picture(glyph).size());
  button->setFixedSize(21, 21);
  return button;
}

QPixmap picture(const QString& name) {
  static const bool registered = (initSettingsResources(), true);
  (void)registered;
  return QPixmap(QStringLiteral(":/settings/") + name + QStringLiteral(".png"));
}

}  // namespace pelmora::dialog
