#pragma once

#include <cstdint>
#include <functional>

#include <QDialog>

#include "app/ProgramCore.h"
#include "settings/SettingsTabs.h"
#include "settings/TariffEditor.h"
#include "store/AccountLog.h"
#include "store/ConnectionLog.h"
#include "settings/SettingsServices.h"

class QLabel;
class QPushButton;
class QTabWidget;

namespace pelmora {

class InfoPage;
class StatisticsPage;
class ConnectionPage;
class DisconnectionPage;
class OptionsPage;
class TMainFrame;
class TariffsPage;

// "Настройки": the program's second window, a fixed-size non-modal dialog with six tabs. Created
// hidden at start and kept until the end. Each showing reloads every control from the store;
// only "O K" writes what they hold, and the running program then works by it.
class TSettings : public QDialog, public SettingsListener {
  Q_OBJECT

 public:
  // The tabs, in order, with their codes.
  enum Tab { Options, Tariffs, Connection, Disconnection, Statistics, Info };

  // Listens to the program's core until it is destroyed; opens on the status window's requests
  // and follows its drags. The status window is moved live by the position edits and shown
  // after a commit.
  TSettings(ProgramCore& core, TMainFrame& status, SettingsServices services);
  ~TSettings() override;

  QTabWidget* TABs = nullptr;
  QPushButton* bOk = nullptr;
  QPushButton* bCancel = nullptr;
  QLabel* ShowTab = nullptr;  // never shown: carries the tab code to the next showing
  OptionsPage* tabOptions = nullptr;
  TariffsPage* tabTariffs = nullptr;
  ConnectionPage* tabConnection = nullptr;
  DisconnectionPage* tabDisconnection = nullptr;
  StatisticsPage* tabStatistics = nullptr;
  InfoPage* tabInfo = nullptr;

  // What the controls of the options, connection and disconnection tabs hold.
  const OptionsTabs& options() const { return m_tabs; }
  const TariffEditor& tariffEditor() const { return m_tariffEditor; }

 public slots:
  // Opens the dialog on a tab ("o", "t", "c", "d", "s", "i"); an open dialog is only raised.
  void open(const QString& tab);
  // The status window was dragged: the position edits follow it.
  void followStatusWindow(int left, int top);
  // Settings may be committed only while no connection is metered.
  void setCommitEnabled(bool enabled);
  // The statistics tab shows the counters as the store has them now.
  void ShowTabClick();

  void bOkClick();
  void bCancelClick();
  void bResetClick();
  void bClearClick();
  void bEraseClick();
  void bViewClick();

  // Closing the window or Escape: like "О Т М Е Н А", and like it off while the balance is
  // corrected.
  void reject() override;

 protected:
  // SettingsListener
  void commitAllowed(bool allowed) override;
  void statisticsChanged() override;

  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  // Enter confirms as "O K" does, whatever control has the focus; the buttons themselves never
  // take it.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void buildTabs();
  void formShow();
  void formHide();
  void refreshStatistics();
  void refreshPages();
  void correctionChanged(bool correcting);
  void moveStatusWindow(std::optional<std::int32_t> left, std::optional<std::int32_t> top);
  bool guard(const std::function<void()>& step);

  ProgramCore& m_core;
  TMainFrame& m_status;
  SettingsServices m_services;
  ConnectionLog m_connectionLog;
  AccountLog m_accountLog;
  // The most recently validated number, shared by every numeric edit of the dialog.
  std::int32_t m_lastValidated = 0;
  OptionsTabs m_tabs;
  TariffEditor m_tariffEditor;
  // The reset detaches the hiding's work: the dialog then closes over a store without tariffs.
  bool m_hideHandlerAttached = true;
  // The statistics tab's balance correction is open.
  bool m_correcting = false;
};

}  // namespace pelmora
