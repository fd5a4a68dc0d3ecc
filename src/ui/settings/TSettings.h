#pragma once

#include <cstdint>
#include <functional>

#include <QDialog>

#include "settings/SettingsTabs.h"
#include "settings/TariffEditor.h"

class QLabel;
class QPushButton;
class QTabWidget;

namespace pelmora {

class AddressOpener;
class Beeper;
class InfoPage;
class ReportPrinter;
class StatisticsPage;
class ConnectionPage;
class DisconnectionPage;
class FileDialogs;
class FileOpener;
class OptionsPage;
class ProgramCore;
class TMainFrame;
class TariffsPage;

// "Настройки": the program's second window, a fixed-size non-modal dialog with six tabs. Created
// hidden at start and kept until the end. Each showing reloads every control from the store;
// only "O K" writes what they hold.
class TSettings : public QDialog {
  Q_OBJECT

 public:
  struct Services {
    ProgramCore& core;
    TMainFrame& status;  // moved live by the position edits, re-shown after a commit
    FileDialogs& files;
    Beeper& beeper;
    FileOpener& opener;      // the connection log's viewer
    ReportPrinter& printer;  // the statistics report
    AddressOpener& links;    // the information tab's links
  };

  // The tabs, in order, with their codes.
  enum Tab { Options, Tariffs, Connection, Disconnection, Statistics, Info };

  // Connects itself to the status window's requests.
  explicit TSettings(Services services);
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
  // A connection was settled: the statistics tab shows the new counters.
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
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

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
  FileDialogs& m_files;
  Beeper& m_beeper;
  FileOpener& m_opener;
  ReportPrinter& m_printer;
  AddressOpener& m_links;
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
