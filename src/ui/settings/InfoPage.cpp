#include "ui/settings/InfoPage.h"

#include <optional>

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>

#include "platform/AddressOpener.h"
#include "ui/settings/DialogStyle.h"
#include "ui/settings/LinkLabel.h"
#include "ui/status/DisplayFont.h"

namespace pelmora {

namespace {

constexpr std::array kLinks{InfoLink::Web, InfoLink::Mail, InfoLink::Guide};

QFont titleFont() {
  QFont font = displayFont(21, false);
  font.setFamilies({QStringLiteral("Arial Black"), QStringLiteral("Arial"),
                    QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
  font.setWeight(QFont::Black);
  return font;
}

template <typename Label = QLabel>
Label* centredLabel(const std::string& text, const QFont& font, QWidget* parent) {
  auto* label = new Label(QString::fromStdString(text), parent);
  label->setFont(font);
  label->setAlignment(Qt::AlignCenter);
  label->setMouseTracking(true);
  return label;
}

// A row holding the labels at their own width, centred: the pointer is over a link only where
// its text is.
QHBoxLayout* centredRow(std::initializer_list<QLabel*> labels, int spacing) {
  auto* row = new QHBoxLayout;
  row->setSpacing(spacing);
  row->addStretch(1);
  for (QLabel* label : labels) row->addWidget(label);
  row->addStretch(1);
  return row;
}

}  // namespace

InfoPage::InfoPage(AddressOpener& opener, const std::filesystem::path& guide, QWidget* parent)
    : QWidget(parent), m_opener(opener), m_information(programInformation(guide)) {
  setFont(dialog::smallFont());
  setMouseTracking(true);

  QFont versionFont = dialog::smallFont();
  versionFont.setBold(true);
  QFont linkFont = displayFont(11, true);
  linkFont.setUnderline(true);

  tTitle = centredLabel(m_information.title, titleFont(), this);
  tVersion = centredLabel(m_information.version, versionFont, this);
  tAuthor = centredLabel(m_information.authorHeading, dialog::smallFont(), this);
  tName = centredLabel(m_information.author, displayFont(11, true), this);
  tNickName = centredLabel(m_information.nickName, displayFont(11, true), this);
  tWeb = centredLabel<LinkLabel>(m_information.link(InfoLink::Web).caption, linkFont, this);
  tMail = centredLabel<LinkLabel>(m_information.link(InfoLink::Mail).caption, linkFont, this);
  tInstruction =
      centredLabel<LinkLabel>(m_information.link(InfoLink::Guide).caption, linkFont, this);
  for (QLabel* label : {tTitle, tVersion, tAuthor, tName, tNickName}) {
    label->installEventFilter(this);
  }
  for (InfoLink link : kLinks) {
    linkLabel(link)->installEventFilter(this);
    connect(linkLabel(link), &LinkLabel::activated, this, [this, link] { openLink(link); });
  }

  auto* page = new QVBoxLayout(this);
  page->setContentsMargins(10, 6, 10, 8);
  page->setSpacing(2);
  page->addStretch(1);
  page->addWidget(tTitle);
  page->addWidget(tVersion);
  page->addSpacing(6);
  page->addWidget(tAuthor);
  page->addLayout(centredRow({tName, tNickName}, 6));
  page->addSpacing(8);
  page->addLayout(centredRow({tWeb, tMail}, 40));
  page->addSpacing(3);
  page->addLayout(centredRow({tInstruction}, 0));
  page->addStretch(1);

  showLinkColours();
}

void InfoPage::openLink(InfoLink link) {
  // No browser or mail program, or no network: nothing is said.
  (void)m_opener.open(m_information.link(link).address);
}

LinkLabel* InfoPage::linkLabel(InfoLink link) const {
  switch (link) {
    case InfoLink::Web:
      return tWeb;
    case InfoLink::Mail:
      return tMail;
    case InfoLink::Guide:
      return tInstruction;
  }
  return nullptr;
}

bool InfoPage::eventFilter(QObject* watched, QEvent* event) {
  std::optional<InfoLink> link;
  for (InfoLink each : kLinks) {
    if (watched == linkLabel(each)) link = each;
  }
  switch (event->type()) {
    case QEvent::MouseMove:
      // Over a plain label it is as over the page.
      if (link) {
        m_states.hover(*link);
      } else {
        m_states.reset();
      }
      showLinkColours();
      return true;
    case QEvent::MouseButtonPress:
      if (!link) break;
      m_states.press(*link, static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton);
      showLinkColours();
      return true;
    case QEvent::MouseButtonRelease: {
      if (!link) break;
      const auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() != Qt::LeftButton) return true;
      const bool over = linkLabel(*link)->rect().contains(mouse->position().toPoint());
      if (m_states.release(*link, over)) openLink(*link);
      return true;
    }
    default:
      break;
  }
  return QWidget::eventFilter(watched, event);
}

void InfoPage::mouseMoveEvent(QMouseEvent* event) {
  m_states.reset();
  showLinkColours();
  QWidget::mouseMoveEvent(event);
}

void InfoPage::changeEvent(QEvent* event) {
  // The normal colour is the system's colour of text on buttons, which a new palette changes.
  if (event->type() == QEvent::PaletteChange) showLinkColours();
  QWidget::changeEvent(event);
}

void InfoPage::showLinkColours() {
  const QColor normal = palette().color(QPalette::ButtonText);
  for (InfoLink link : kLinks) {
    const std::optional<LinkColour> colour = m_states.colour(link);
    const QColor shown = colour ? QColor(colour->red, colour->green, colour->blue) : normal;
    QLabel* label = linkLabel(link);
    if (label->palette().color(QPalette::WindowText) == shown) continue;
    QPalette labelPalette = label->palette();
    labelPalette.setColor(QPalette::WindowText, shown);
    label->setPalette(labelPalette);
  }
}

}  // namespace pelmora
