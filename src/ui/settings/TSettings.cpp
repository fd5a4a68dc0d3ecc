#include "ui/settings/TSettings.h"

#include <array>
#include <filesystem>
#include <utility>

#include <QComboBox>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>

#include "settings/ConnectionLogActions.h"
#include "settings/ReportTexts.h"
#include "settings/SettingsReset.h"
#include "platform/Beeper.h"
#include "platform/Clock.h"
#include "platform/PathText.h"
#include "platform/ProgramStarter.h"
#include "platform/Screen.h"
#include "platform/SoundPlayer.h"
#include "store/ProgramOptions.h"
#include "settings/ProgramInformation.h"
#include "ui/settings/ActionPages.h"
#include "ui/settings/CurrencyRow.h"
#include "ui/settings/InfoPage.h"
#include "ui/settings/StatisticsPage.h"
#include "ui/settings/DialogStyle.h"
#include "ui/settings/OptionsPage.h"
#include "ui/settings/TariffsPage.h"
#include "ui/status/TMainFrame.h"

namespace pelmora {

namespace {

constexpr int kWidth = 580;
constexpr int kHeight = 220;
constexpr int kTabsHeight = 195;
constexpr int kButtonWidth = 146;
constexpr int kButtonHeight = 25;

struct TabCaption {
  const char* code;
  const char* caption;
  const char* icon;
};

// In tab order: the code an opener asks for, the caption, the picture.
constexpr std::array<TabCaption, 6> kTabs{{{"o", "ОПЦИИ", "Options"},
                                           {"t", "ТАРИФЬI", "Tariffs"},
                                           {"c", "СОЕДИНЕНИЕ", "Connection"},
                                           {"d", "РАССОЕДИНЕНИЕ", "Disconnection"},
                                           {"s", "СТАТИСТИКА", "Statistics"},
                                           {"i", "ИНФОРМАЦИЯ", "Info"}}};

}  // namespace

TSettings::TSettings(ProgramCore& core, TMainFrame& status, SettingsServices services)
    : QDialog(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint),
      m_core(core),
      m_status(status),
      m_services(std::move(services)),
      m_connectionLog(m_services.folder.connectionLog()),
      m_accountLog(m_services.folder.accountLog()),
      m_tabs(m_services.store, m_lastValidated),
      m_tariffEditor(m_services.store, m_services.boxes, m_lastValidated) {
  setWindowTitle(QStringLiteral("Настройки"));
  setFont(dialog::smallFont());
  setFixedSize(kWidth, kHeight);
  setModal(false);
  buildTabs();

  bOk = dialog::actionButton("O K", this);
  bOk->setGeometry(0, kTabsHeight, kButtonWidth, kButtonHeight);
  bCancel = dialog::actionButton("О Т М Е Н А", this);
  bCancel->setGeometry(kWidth - kButtonWidth, kTabsHeight, kButtonWidth, kButtonHeight);
  ShowTab = new QLabel(QStringLiteral("o"), this);
  ShowTab->move(240, kTabsHeight);
  ShowTab->hide();
  // A connection already metered when the dialog is made keeps "O K" off until it ends.
  bOk->setEnabled(m_core.monitorState() != kMonitorConnected);

  connect(bOk, &QPushButton::clicked, this, &TSettings::bOkClick);
  connect(bCancel, &QPushButton::clicked, this, &TSettings::bCancelClick);
  connect(tabOptions->bReset, &QPushButton::clicked, this, &TSettings::bResetClick);
  connect(tabOptions->bClear, &QPushButton::clicked, this, &TSettings::bClearClick);
  connect(tabOptions->bErase, &QPushButton::clicked, this, &TSettings::bEraseClick);
  connect(tabOptions->bView, &QPushButton::clicked, this, &TSettings::bViewClick);
  for (NumericField* field : {tabOptions->eXX, tabOptions->eYY}) {
    connect(field, &NumericField::edgeMoved, this, [this, field](std::int32_t edge) {
      if (field == tabOptions->eXX) {
        moveStatusWindow(edge, std::nullopt);
      } else {
        moveStatusWindow(std::nullopt, edge);
      }
    });
  }

  // Every opener of the status window and its drags; the settlements and the connections come
  // from the core.
  connect(&m_status, &TMainFrame::settingsRequested, this, &TSettings::open);
  connect(&m_status, &TMainFrame::positionDragged, this, &TSettings::followStatusWindow);
  m_core.listen(this);

  const ScreenSize screen = m_services.screen.size();
  move((screen.width - kWidth) / 2, (screen.height - kHeight) / 2);
}

TSettings::~TSettings() {
  m_core.listen(nullptr);
}

void TSettings::buildTabs() {
  const auto guarded = [this](const std::function<void()>& step) { return guard(step); };
  const auto beep = [this] { m_services.beeper.beep(); };
  const FieldServices fields{guarded, beep};
  const ActionTests tests{
      [this](const std::string& file) { m_services.sound.play(file); },
      [this](const std::string& line) { m_services.starter.startCommandLine(line); }};
  TABs = new QTabWidget(this);
  TABs->setGeometry(0, 0, kWidth, kTabsHeight);
  TABs->setFocusPolicy(Qt::NoFocus);
  tabOptions = new OptionsPage(m_tabs, fields);
  tabTariffs = new TariffsPage(m_tabs, m_tariffEditor, m_services.store, m_services.boxes, fields);
  tabConnection = new ConnectionPage(m_tabs, fields, m_services.files, tests);
  tabDisconnection = new DisconnectionPage(m_tabs, m_services.files, tests);
  tabStatistics = new StatisticsPage(StatisticsServices{
      .store = m_services.store,
      .boxes = m_services.boxes,
      .clock = m_services.clock,
      .files = m_services.files,
      .printer = m_services.printer,
      .accountLog = m_accountLog,
      .printedReport = printedReportPath(m_services.folder),
      .decimalSeparator = m_services.decimalSeparator,
      .guard = guarded,
      .correctionChanged = [this](bool correcting) { correctionChanged(correcting); },
      .beep = beep});
  tabInfo = new InfoPage(m_services.links,
                         findUserGuide(pathFromUtf8(m_services.executable).parent_path()));
  connect(tabStatistics, &StatisticsPage::refreshed, this,
          [this] { tabOptions->bClear->setEnabled(tabStatistics->clearEnabled()); });
  connect(tabTariffs->currency, &CurrencyRow::captionsChanged, this,
          [this](const CurrencyCaptions& captions) {
            tabStatistics->setUnitCaptions(QString::fromStdString(captions.account),
                                           QString::fromStdString(captions.majorCost),
                                           QString::fromStdString(captions.minorCost));
          });
  // A currency the user picks is written even if the stored one could not be read.
  for (QComboBox* box :
       {tabTariffs->currency->cbCurrency, tabTariffs->currency->cbCurrencyDisplay}) {
    connect(box, &QComboBox::activated, this,
            [this] { m_tabs.changedByUser(options::kCurrencyFull.name); });
  }
  // "ИЗМЕНИТЬ" lets the dialog be confirmed, a metered connection or not.
  connect(tabTariffs->currency, &CurrencyRow::commitAllowed, this,
          [this] { setCommitEnabled(true); });
  const std::array<QWidget*, kTabs.size()> pages{tabOptions,       tabTariffs,    tabConnection,
                                                 tabDisconnection, tabStatistics, tabInfo};
  for (std::size_t i = 0; i < pages.size(); ++i) {
    TABs->addTab(pages[i], QIcon(dialog::picture(QString::fromUtf8(kTabs[i].icon))),
                 QString::fromUtf8(kTabs[i].caption));
  }
}

void TSettings::open(const QString& tab) {
  ShowTab->setText(tab);
  // Already shown: brought to the front, the tab and the controls as they are.
  show();
  raise();
  activateWindow();
}

void TSettings::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) formShow();
}

void TSettings::hideEvent(QHideEvent* event) {
  QDialog::hideEvent(event);
  if (!event->spontaneous() && m_hideHandlerAttached && !m_core.ending()) formHide();
}

void TSettings::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
    // Off while a connection is metered or the balance is corrected, as the button is.
    if (bOk->isEnabled()) bOk->click();
    return;
  }
  QDialog::keyPressEvent(event);
}

void TSettings::formShow() {
  // Today's tariffs first, as the week change loads them.
  guard([this] { m_tariffEditor.show(m_services.clock.now().weekday); });
  const QString code = ShowTab->text();
  for (std::size_t i = 0; i < kTabs.size(); ++i) {
    if (code == QString::fromUtf8(kTabs[i].code)) TABs->setCurrentIndex(static_cast<int>(i));
  }
  // A value that cannot be read is named in a box; the other controls still load.
  guard([this] {
    const WindowEdges edges = m_tabs.load(m_services.screen.size(), [this](StoreKey& program) {
      tabTariffs->currency->load(program);
    });
    moveStatusWindow(edges.left, edges.top);
    m_tabs.throwLoadError();
  });
  tabTariffs->currency->cbCurrencyChange();
  tabTariffs->currency->hidePanel();
  refreshPages();
  refreshStatistics();
}

void TSettings::formHide() {
  // A tariff test ends with the dialog: its result would come with nothing to look at.
  tabTariffs->stopTest();
  // Edits of the tariffs that were neither saved nor copied are forgotten.
  guard([this] { m_tariffEditor.silentReload(); });
  tabTariffs->refresh();
}

void TSettings::refreshPages() {
  tabOptions->refresh();
  tabTariffs->refresh();
  tabConnection->refresh();
  tabDisconnection->refresh();
}

void TSettings::refreshStatistics() {
  tabStatistics->refresh();
}

void TSettings::correctionChanged(bool correcting) {
  m_correcting = correcting;
  // While the balance is corrected the dialog can be neither confirmed nor cancelled.
  bCancel->setEnabled(!correcting);
  bOk->setEnabled(!correcting && m_core.monitorState() != kMonitorConnected);
}

void TSettings::ShowTabClick() {
  refreshStatistics();
}

void TSettings::followStatusWindow(int left, int top) {
  tabOptions->eXX->setValue(left);
  tabOptions->eYY->setValue(top);
}

void TSettings::setCommitEnabled(bool enabled) {
  bOk->setEnabled(enabled);
}

void TSettings::commitAllowed(bool allowed) {
  setCommitEnabled(allowed);
}

void TSettings::statisticsChanged() {
  ShowTabClick();
}

void TSettings::moveStatusWindow(std::optional<std::int32_t> left,
                                 std::optional<std::int32_t> top) {
  if (!left && !top) return;
  m_status.move(left.value_or(m_status.x()), top.value_or(m_status.y()));
}

bool TSettings::guard(const std::function<void()>& step) {
  return m_core.guard(step);
}

void TSettings::bOkClick() {
  // A store error leaves the dialog open over what was written before it.
  const CurrencyRow& currency = *tabTariffs->currency;
  const CommitExtensions extensions{
      .currencySelection =
          [&currency](StoreKey& program) {
            writeCurrencySelection(program, currency.currencyFull(), currency.currencyStatus());
          },
      .currencySigns =
          [&currency](StoreKey& program) { writeCurrencySigns(program, currency.currencyFull()); },
      .tariffDay = [this](SettingsStore&) { m_tariffEditor.daySave(); }};
  if (!guard([&] {
        commitSettings(m_services.store, m_tabs.options(), m_services.executable, extensions);
      })) {
    return;
  }
  hide();
  m_core.applySettings();
  // The status window shows its new place and currency as it is shown again.
  m_status.hide();
  m_status.show();
}

void TSettings::bCancelClick() {
  hide();
  // The position edits moved the status window live: back to where the store has it.
  if (const auto stored = m_core.readWindowOptions()) moveStatusWindow(stored->left, stored->top);
}

void TSettings::reject() {
  // While the balance is corrected only the correction's own buttons end it: Escape and the
  // close box do nothing, as "О Т М Е Н А" is off.
  if (m_correcting) return;
  bCancelClick();
}

void TSettings::bResetClick() {
  guard([this] {
    SettingsReset{.boxes = m_services.boxes,
                  .store = m_services.store,
                  .starter = m_services.starter,
                  .executable = m_services.executable,
                  .detachHideHandler = [this] { m_hideHandlerAttached = false; },
                  .endProgram = [this] { m_core.shutDown(); }}
        .run();
  });
}

void TSettings::bClearClick() {
  bool cleared = false;
  guard([this, &cleared] { cleared = clearStatistics(m_services.boxes, m_services.store); });
  if (!cleared) return;
  refreshStatistics();
  TABs->setCurrentIndex(Statistics);
}

void TSettings::bEraseClick() {
  guard([this] { eraseConnectionLog(m_connectionLog, m_services.boxes); });
}

void TSettings::bViewClick() {
  guard([this] { viewConnectionLog(m_connectionLog, m_services.opener, m_services.boxes); });
}

}  // namespace pelmora
