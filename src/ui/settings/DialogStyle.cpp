#include "ui/settings/DialogStyle.h"

#include <algorithm>

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
  // The bitmap font is narrower than Arial: the condensed face comes first where it is, or the
  // statistics' column headings no longer fit once Arial or its metric twin is installed.
  font.setFamilies({QStringLiteral("Small Fonts"), QStringLiteral("DejaVu Sans Condensed"),
                    QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
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

namespace {

// What the user may type into an edit made by boldEdit; 0: no limit.
constexpr char kTypingLimit[] = "pelmoraTypingLimit";

int typingLimit(const QLineEdit* edit) {
  return edit->property(kTypingLimit).toInt();
}

}  // namespace

QLineEdit* boldEdit(QWidget* parent, int maxLength) {
  auto* edit = new QLineEdit(parent);
  edit->setFont(boldFont());
  if (maxLength > 0) {
    // QLineEdit's own limit also cuts what setText puts there: it is kept at the typing limit or
    // the length of the text shown, whichever is longer, so a longer text the program showed
    // is never cut and the user still cannot type past the limit.
    edit->setProperty(kTypingLimit, maxLength);
    edit->setMaxLength(maxLength);
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit] {
      edit->setMaxLength(std::max(typingLimit(edit), static_cast<int>(edit->text().size())));
    });
  }
  return edit;
}

void showWhole(QLineEdit* edit, const QString& text) {
  if (const int limit = typingLimit(edit); limit > 0) {
    edit->setMaxLength(std::max(limit, static_cast<int>(text.size())));
  }
  edit->setText(text);
}

QPushButton* actionButton(const char* caption, QWidget* parent, const QColor& colour) {
  auto* button = new QPushButton(QString::fromUtf8(caption), parent);
  button->setFocusPolicy(Qt::NoFocus);
  button->setAutoDefault(false);
  if (colour.isValid()) {
    button->setFont(boldFont());
    // The colour while it can be pressed; a disabled button is greyed like the others.
    QPalette palette = button->palette();
    palette.setColor(QPalette::Active, QPalette::ButtonText, colour);
    palette.setColor(QPalette::Inactive, QPalette::ButtonText, colour);
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
